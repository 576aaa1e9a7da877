#include "gfx/stretch.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <vector>

#include "gfx/draw_pixels.h"
#include "gfx/region.h"
#include "gfx/stretch_plan.h"

namespace tovrin {

namespace {

// A plan turned into what the row loops need: the drawn box, the byte offset within a source
// row of every drawn column, and whether the columns are an unscaled, unmirrored run.
struct TStretchJob {
  TRect Box;
  std::vector<uint32_t> ColumnOffsets;
  bool ColumnsContiguous = false;
  // Columns [ShortLo, ShortHi) (indices into ColumnOffsets) take a source pixel too close to the
  // end of its row for a 4-byte read; the map is monotonic, so they are one run at either end.
  size_t ShortLo = 0;
  size_t ShortHi = 0;
};

TStretchJob MakeJob(const TStretchPlan& plan, const TPixelCopier& copier, size_t srcRowBytes) {
  TStretchJob job;
  const auto& cols = plan.Columns.Source;
  const auto& rows = plan.Rows.Source;
  job.Box = TRect{plan.Columns.First, plan.Rows.First,
                  plan.Columns.First + static_cast<int32_t>(cols.size()),
                  plan.Rows.First + static_cast<int32_t>(rows.size())};
  job.ColumnOffsets.resize(cols.size());
  for (size_t i = 0; i < cols.size(); ++i) {
    job.ColumnOffsets[i] =
        static_cast<uint32_t>(cols[i]) * static_cast<uint32_t>(copier.SrcBytes());
  }
  size_t firstShort = cols.size(), lastShort = 0;
  for (size_t i = 0; i < cols.size(); ++i) {
    if (size_t{job.ColumnOffsets[i]} + 4 > srcRowBytes) {
      firstShort = std::min(firstShort, i);
      lastShort = i + 1;
    }
  }
  if (firstShort < lastShort) {
    job.ShortLo = firstShort;
    job.ShortHi = lastShort;
  }
  // The column map is monotonic, so equal spacing end to end means every step is +1.
  job.ColumnsContiguous = cols.back() >= cols.front() &&
                          static_cast<size_t>(cols.back() - cols.front()) == cols.size() - 1;
  return job;
}

// Fills columns [left, right) of destination row y (all inside job.Box) from source row srcY.
void FillRow(TBitmap& dest, const TBitmap& src, const TPixelCopier& copier, const TStretchJob& job,
             int32_t y, int32_t srcY, int32_t left, int32_t right) {
  uint8_t* out = dest.ScanLine(y) + static_cast<size_t>(left) * copier.DestBytes();
  const uint8_t* in = src.ScanLine(srcY);
  const size_t first = static_cast<size_t>(left - job.Box.Left);
  const size_t count = static_cast<size_t>(right - left);
  if (job.ColumnsContiguous) {
    copier.CopyRun(out, in + job.ColumnOffsets[first], count);
  } else {
    const auto rel = [&](size_t column) {
      return std::clamp(column, first, first + count) - first;
    };
    copier.GatherRun(out, in, job.ColumnOffsets.data() + first, count, rel(job.ShortLo),
                     rel(job.ShortHi));
  }
}

// c + delta, held at the ends of the 32-bit range instead of overflowing.
int32_t Step(int32_t c, int32_t delta) {
  return static_cast<int32_t>(std::clamp<int64_t>(int64_t{c} + delta, INT32_MIN, INT32_MAX));
}

}  // namespace

void StretchCopy(TBitmap& dest, const TRect& destRect, const TBitmap& src, const TRect& srcRect) {
  StretchCopy(dest, destRect, src, srcRect, nullptr);
}

void StretchCopy(TBitmap& dest, const TRect& destRect, const TBitmap& src, const TRect& srcRect,
                 const TRegion* clip) {
  if (dest.Empty() || src.Empty()) return;
  const TPixelCopier copier(dest, src);
  assert(copier.Valid() && "a 24-bit bitmap cannot be copied onto an 8-bit one");
  if (!copier.Valid()) return;

  TRect destClip = dest.BoundsRect();
  if (clip != nullptr) {
    if (clip->IsEmpty()) return;
    destClip = IntersectRect(destClip, clip->Extents());
    if (destClip.IsEmpty()) return;
  }
  const TStretchPlan plan = PlanStretch(destRect, srcRect, src.Width(), src.Height(), destClip);
  if (plan.Empty()) return;
  const TStretchJob job = MakeJob(plan, copier, src.Stride());
  const auto& rows = plan.Rows.Source;

  if (clip == nullptr) {
    const size_t rowBytes = static_cast<size_t>(job.Box.Width()) * copier.DestBytes();
    const size_t destOffset = static_cast<size_t>(job.Box.Left) * copier.DestBytes();
    for (size_t i = 0; i < rows.size(); ++i) {
      const int32_t y = job.Box.Top + static_cast<int32_t>(i);
      if (i > 0 && rows[i] == rows[i - 1]) {
        // A repeated source row: the destination row above already holds it.
        std::memcpy(dest.ScanLine(y) + destOffset, dest.ScanLine(y - 1) + destOffset, rowBytes);
      } else {
        FillRow(dest, src, copier, job, y, rows[i], job.Box.Left, job.Box.Right);
      }
    }
    return;
  }

  for (const TRect& r : clip->Rects()) {
    if (r.Top >= job.Box.Bottom) break;
    const TRect part = IntersectRect(r, job.Box);
    if (part.IsEmpty()) continue;
    for (int32_t y = part.Top; y < part.Bottom; ++y) {
      FillRow(dest, src, copier, job, y, rows[static_cast<size_t>(y - job.Box.Top)], part.Left,
              part.Right);
    }
  }
}

void MirrorCopy(TBitmap& dest, TRect destRect, const TBitmap& src, TRect srcRect, bool mirrorH,
                bool mirrorV) {
  srcRect = IntersectRect(srcRect, src.BoundsRect());
  if (mirrorH) {
    const int32_t left = destRect.Left;
    destRect.Left = Step(destRect.Right, 1);
    destRect.Right = Step(left, -1);
  }
  if (mirrorV) {
    const int32_t top = destRect.Top;
    destRect.Top = Step(destRect.Bottom, 1);
    destRect.Bottom = Step(top, -1);
  }
  StretchCopy(dest, destRect, src, srcRect);
}

}  // namespace tovrin
