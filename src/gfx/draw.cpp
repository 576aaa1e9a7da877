#include "gfx/draw.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "gfx/draw_pixels.h"
#include "gfx/region.h"

namespace tovrin {

namespace {

// The part of dest that src covers when drawn at (x, y); empty when they do not meet. Computed
// in 64 bits so that a far-off position cannot overflow.
TRect DrawnBox(const TBitmap& dest, int32_t x, int32_t y, const TBitmap& src) {
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + src.Width(), dest.Width());
  const int64_t bottom = std::min<int64_t>(int64_t{y} + src.Height(), dest.Height());
  if (right <= left || bottom <= top) return TRect{};
  return TRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right),
               static_cast<int32_t>(bottom)};
}

// Copies the pixels of box (dest coordinates) from src drawn at (x, y).
void CopyBox(TBitmap& dest, int32_t x, int32_t y, const TBitmap& src, const TPixelCopier& copier,
             const TRect& box) {
  const size_t count = static_cast<size_t>(box.Width());
  const size_t destOffset = static_cast<size_t>(box.Left) * copier.DestBytes();
  const size_t srcOffset = static_cast<size_t>(box.Left - x) * copier.SrcBytes();
  if (copier.Plain() && destOffset == 0 && srcOffset == 0 && dest.Stride() == src.Stride() &&
      count == static_cast<size_t>(dest.Width()) && count == static_cast<size_t>(src.Width())) {
    // Whole rows of equally laid out bitmaps: one block (row padding included, which is never
    // drawn on). A single large copy also lets the C library use its fastest method.
    std::memcpy(dest.ScanLine(box.Top), src.ScanLine(box.Top - y),
                dest.Stride() * static_cast<size_t>(box.Height()));
    return;
  }
  for (int32_t row = box.Top; row < box.Bottom; ++row) {
    copier.CopyRun(dest.ScanLine(row) + destOffset, src.ScanLine(row - y) + srcOffset, count);
  }
}

}  // namespace

void Draw(TBitmap& dest, int32_t x, int32_t y, const TBitmap& src) {
  if (dest.Empty() || src.Empty()) return;
  const TPixelCopier copier(dest, src);
  assert(copier.Valid() && "a 24-bit bitmap cannot be drawn onto an 8-bit one");
  if (!copier.Valid()) return;
  const TRect box = DrawnBox(dest, x, y, src);
  if (box.IsEmpty()) return;
  CopyBox(dest, x, y, src, copier, box);
}

void DrawClipped(TBitmap& dest, int32_t x, int32_t y, const TBitmap& src, const TRegion& clip) {
  if (dest.Empty() || src.Empty() || clip.IsEmpty()) return;
  const TPixelCopier copier(dest, src);
  assert(copier.Valid() && "a 24-bit bitmap cannot be drawn onto an 8-bit one");
  if (!copier.Valid()) return;
  const TRect box = DrawnBox(dest, x, y, src);
  if (box.IsEmpty()) return;
  // The boxes are sorted by band; bands wholly above or below the drawn box are skipped cheaply.
  for (const TRect& r : clip.Rects()) {
    if (r.Top >= box.Bottom) break;
    const TRect part = IntersectRect(r, box);
    if (!part.IsEmpty()) CopyBox(dest, x, y, src, copier, part);
  }
}

}  // namespace tovrin
