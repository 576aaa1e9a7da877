#include "gfx/draw.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

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

// One box of a clip band as offsets into a destination row and a source row.
// Offsets fit 32 bits: a bitmap holds at most TBitmap::MaxBitmapBytes.
struct TClipRun {
  uint32_t DestOffset;
  uint32_t SrcOffset;
  uint32_t Pixels;
  uint32_t DestBytes;
};
static_assert(TBitmap::MaxBitmapBytes <= UINT32_MAX);

// How many boxes of one band are prepared at a time (a 4K-wide band of 2-pixel boxes fits).
constexpr size_t kRunBatch = 1024;

// Copies the runs on every row from top to bottom (dest coordinates; src drawn at row y).
void CopyRuns(TBitmap& dest, int32_t y, const TBitmap& src, const TPixelCopier& copier,
              std::span<const TClipRun> runs, int32_t top, int32_t bottom) {
  for (int32_t row = top; row < bottom; ++row) {
    uint8_t* out = dest.ScanLine(row);
    const uint8_t* in = src.ScanLine(row - y);
    if (copier.Plain()) {
      for (const TClipRun& run : runs) {
        CopyBytes(out + run.DestOffset, in + run.SrcOffset, run.DestBytes);
      }
    } else {
      for (const TClipRun& run : runs) {
        copier.CopyRun(out + run.DestOffset, in + run.SrcOffset, run.Pixels);
      }
    }
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

  // The region is walked band by band, and each band row by row through all of its boxes, so the
  // pixels are visited in memory order however narrow the boxes are. A band's boxes are turned
  // into byte offsets once, in batches held on the stack (no allocation).
  const std::vector<TRect>& rects = clip.Rects();
  const size_t n = rects.size();
  // Bottoms never decrease along the list: skip the bands wholly above the drawn box at once.
  size_t i = static_cast<size_t>(
      std::partition_point(rects.begin(), rects.end(),
                           [&box](const TRect& r) { return r.Bottom <= box.Top; }) -
      rects.begin());
  std::array<TClipRun, kRunBatch> runs;
  while (i < n && rects[i].Top < box.Bottom) {
    const int32_t bandTop = rects[i].Top;
    const int32_t top = std::max(bandTop, box.Top);
    const int32_t bottom = std::min(rects[i].Bottom, box.Bottom);
    while (i < n && rects[i].Top == bandTop) {
      size_t count = 0;
      for (; i < n && rects[i].Top == bandTop && count < kRunBatch; ++i) {
        const int32_t left = std::max(rects[i].Left, box.Left);
        const int32_t right = std::min(rects[i].Right, box.Right);
        if (left >= right) continue;
        const size_t pixels = static_cast<size_t>(right - left);
        runs[count++] = TClipRun{static_cast<uint32_t>(left * copier.DestBytes()),
                                 static_cast<uint32_t>((left - x) * copier.SrcBytes()),
                                 static_cast<uint32_t>(pixels),
                                 static_cast<uint32_t>(pixels * copier.DestBytes())};
      }
      if (count == 1) {
        // One box across these rows: the plain box copy, whole blocks where it can.
        const TClipRun& run = runs[0];
        const int32_t left = static_cast<int32_t>(run.DestOffset / copier.DestBytes());
        CopyBox(dest, x, y, src, copier,
                TRect{left, top, left + static_cast<int32_t>(run.Pixels), bottom});
      } else if (count > 1) {
        CopyRuns(dest, y, src, copier, std::span(runs.data(), count), top, bottom);
      }
    }
  }
}

namespace {

#if defined(TOVRIN_AVX2)
__attribute__((target("avx2"))) size_t SelectBytesAvx2(uint8_t* dest, const uint8_t* bg,
                                                       const uint8_t* fg, const uint8_t* mask,
                                                       size_t n) {
  size_t i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask + i));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bg + i));
    const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(fg + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + i), _mm256_blendv_epi8(b, f, m));
  }
  return i;
}
#endif

// dest[i] = fg[i] where mask[i] is 0xFF and bg[i] where it is 0, for n bytes.
void SelectBytes(uint8_t* dest, const uint8_t* bg, const uint8_t* fg, const uint8_t* mask, size_t n,
                 [[maybe_unused]] bool avx2) {
  size_t i = 0;
#if defined(TOVRIN_AVX2)
  if (avx2) i = SelectBytesAvx2(dest, bg, fg, mask, n);
#endif
#if defined(__SSE2__)
  for (; i + 16 <= n; i += 16) {
    const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mask + i));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bg + i));
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fg + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i),
                     _mm_or_si128(_mm_and_si128(m, f), _mm_andnot_si128(m, b)));
  }
#endif
  for (; i < n; ++i) dest[i] = static_cast<uint8_t>((fg[i] & mask[i]) | (bg[i] & ~mask[i]));
}

// Copies rows [top, bottom) of src into dest whole, padding included (same layout).
void CopyRows(TBitmap& dest, const TBitmap& src, int32_t top, int32_t bottom) {
  if (top >= bottom) return;
  std::memcpy(dest.ScanLine(top), src.ScanLine(top),
              dest.Stride() * static_cast<size_t>(bottom - top));
}

// Sets n bytes to 0xFF. A masked band's boxes are short and many, and a call to memset for each
// costs more than its bytes: each is written with a few overlapping stores instead.
void SetShortRun(uint8_t* p, size_t n) {
  static constexpr uint8_t kOnes[16] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  if (n >= 16) {
    for (size_t i = 0; i + 16 < n; i += 16) std::memcpy(p + i, kOnes, 16);
    std::memcpy(p + n - 16, kOnes, 16);
  } else if (n >= 8) {
    std::memcpy(p, kOnes, 8);
    std::memcpy(p + n - 8, kOnes, 8);
  } else if (n >= 4) {
    std::memcpy(p, kOnes, 4);
    std::memcpy(p + n - 4, kOnes, 4);
  } else {
    for (size_t i = 0; i < n; ++i) p[i] = 0xFF;
  }
}

// A band whose pieces (background and foreground in turn) average fewer bytes than this is
// composed through a byte mask made once for the band: reading both pictures in plain vector
// work beats a copy per piece there.
constexpr size_t kMaskedPieceBytes = 40;

}  // namespace

// The region is walked band by band. Rows no band covers are copied from the background, and a
// band's rows from the foreground where the band's boxes lie and from the background between
// them, so every byte of dest is written once.
void ComposeThroughRegion(TBitmap& dest, const TBitmap& background, const TBitmap& foreground,
                          const TRegion& region) {
  assert(dest.PixelFormat() == TPixelFormat::pf24bit &&
         background.PixelFormat() == TPixelFormat::pf24bit &&
         foreground.PixelFormat() == TPixelFormat::pf24bit);
  assert(background.Width() == dest.Width() && background.Height() == dest.Height() &&
         foreground.Width() == dest.Width() && foreground.Height() == dest.Height());
  const int32_t w = dest.Width();
  const int32_t h = dest.Height();
  const size_t rowBytes = static_cast<size_t>(w) * 3;
  const std::vector<TRect>& rects = region.Rects();
  const size_t n = rects.size();
  const bool avx2 = CanUseAvx2();
  std::vector<uint8_t> mask;
  // The current band's boxes as byte ranges clipped to the row: [first, second).
  std::vector<std::pair<size_t, size_t>> boxes;
  size_t i = 0;
  int32_t y = 0;
  while (y < h) {
    while (i < n && rects[i].Bottom <= y) ++i;
    if (i == n || rects[i].Top >= h) {
      CopyRows(dest, background, y, h);
      break;
    }
    const int32_t bandTop = rects[i].Top;
    CopyRows(dest, background, y, bandTop);
    const int32_t top = std::max(bandTop, y);
    const int32_t bottom = std::min(rects[i].Bottom, h);
    boxes.clear();
    for (; i < n && rects[i].Top == bandTop; ++i) {
      const int32_t left = std::max(rects[i].Left, 0);
      const int32_t right = std::min(rects[i].Right, w);
      if (left < right) {
        boxes.emplace_back(3 * static_cast<size_t>(left), 3 * static_cast<size_t>(right));
      }
    }
    y = bottom;
    if (boxes.empty()) {
      CopyRows(dest, background, top, bottom);
    } else if (boxes.size() == 1 && boxes[0].first == 0 && boxes[0].second == rowBytes) {
      CopyRows(dest, foreground, top, bottom);
    } else if (rowBytes / (2 * boxes.size() + 1) < kMaskedPieceBytes) {
      mask.assign(rowBytes, 0);
      for (const auto& [l, r] : boxes) SetShortRun(mask.data() + l, r - l);
      for (int32_t row = top; row < bottom; ++row) {
        SelectBytes(dest.ScanLine(row), background.ScanLine(row), foreground.ScanLine(row),
                    mask.data(), rowBytes, avx2);
      }
    } else {
      for (int32_t row = top; row < bottom; ++row) {
        uint8_t* d = dest.ScanLine(row);
        const uint8_t* b = background.ScanLine(row);
        const uint8_t* f = foreground.ScanLine(row);
        size_t at = 0;
        for (const auto& [l, r] : boxes) {
          CopyBytes(d + at, b + at, l - at);
          CopyBytes(d + l, f + l, r - l);
          at = r;
        }
        CopyBytes(d + at, b + at, rowBytes - at);
      }
    }
  }
}

}  // namespace tovrin
