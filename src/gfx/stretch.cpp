#include "gfx/stretch.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

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
  // 24-bit rows whose columns are gathered five at a time by a byte shuffle (see GroupGather):
  // the first FastGroups groups of five columns, each read as 16 source bytes from
  // GroupBases[g] and arranged by the 16-byte GroupMasks[g].
  size_t FastGroups = 0;
  std::vector<uint32_t> GroupBases;
  std::vector<uint8_t> GroupMasks;
  // Shrinking 24-bit rows: the leading columns gathered by PairGather, PairEnds[g] being the
  // number of columns done after group g.
  std::vector<uint32_t> PairBases;
  std::vector<uint8_t> PairCounts;
  std::vector<uint8_t> PairMasks;
  std::vector<size_t> PairEnds;
};

#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
#define TOVRIN_GROUP_GATHER 1

// Five 24-bit pixels (15 bytes) from one 16-byte window of the source row, placed by one byte
// shuffle. Each store writes a sixteenth byte, the first of the next group, which that group
// rewrites; the caller keeps at least one pixel after the last group.
__attribute__((target("ssse3"))) void GroupGather(uint8_t* dest, const uint8_t* srcRow,
                                                  const uint32_t* bases, const uint8_t* masks,
                                                  size_t groups) {
  for (size_t g = 0; g < groups; ++g, dest += 15, masks += 16) {
    const __m128i window = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRow + bases[g]));
    const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_shuffle_epi8(window, mask));
  }
}

// Shrinking copies: groups of up to five pixels whose source bytes lie within 32 bytes, read as
// two 16-byte windows from PairBases[g] and PairBases[g] + 16, each arranged by its own shuffle
// (PairMasks[g], 32 bytes) and the two merged. Group g writes 3 * PairCounts[g] bytes and, like
// GroupGather, spare bytes after them that the next group or pixel rewrites.
__attribute__((target("ssse3"))) void PairGather(uint8_t* dest, const uint8_t* srcRow,
                                                 const uint32_t* bases, const uint8_t* counts,
                                                 const uint8_t* masks, size_t groups) {
  for (size_t g = 0; g < groups; ++g, masks += 32) {
    const uint8_t* window = srcRow + bases[g];
    const __m128i low = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(window)),
                                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks)));
    const __m128i high =
        _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(window + 16)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + 16)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), _mm_or_si128(low, high));
    dest += 3 * size_t{counts[g]};
  }
}

bool CanGroupGather() {
  return __builtin_cpu_supports("ssse3");
}
#endif

// Prepares the shuffles of job for the leading groups of five columns whose source pixels lie
// within 16 bytes of each other (every group when enlarging) and whose 16-byte window stays
// inside the source row. The run's last pixel is never part of a group.
void PlanGroups(TStretchJob& job, size_t srcRowBytes) {
  const std::vector<uint32_t>& offsets = job.ColumnOffsets;
  size_t g = 0;
  for (; 5 * g + 5 < offsets.size(); ++g) {
    const uint32_t a = offsets[5 * g];
    const uint32_t b = offsets[5 * g + 4];
    const uint32_t base = std::min(a, b);  // mirrored maps run downwards
    if (std::max(a, b) + 3 - base > 16 || size_t{base} + 16 > srcRowBytes) break;
    job.GroupBases.push_back(base);
    for (size_t p = 0; p < 5; ++p) {
      for (uint32_t c = 0; c < 3; ++c) {
        job.GroupMasks.push_back(static_cast<uint8_t>(offsets[5 * g + p] - base + c));
      }
    }
    job.GroupMasks.push_back(0x80);  // the spare byte: zero (rewritten by the next group)
  }
  job.FastGroups = g;
}

// Prepares the two-window shuffles of job for shrinking copies: from the first column on, each
// group takes as many columns (four or five) as have their source pixels within 32 bytes, as long
// as both windows stay inside the source row and five columns remain after the group, for the
// spare bytes each 16-byte store writes. Stops at the first place fewer than four fit: for
// sparser columns the plain gather is as fast.
void PlanPairGroups(TStretchJob& job, size_t srcRowBytes) {
  const std::vector<uint32_t>& offsets = job.ColumnOffsets;
  const size_t n = offsets.size();
  size_t i = 0;
  while (i + 2 + 5 <= n) {
    size_t k = 0;
    uint32_t base = 0;
    for (size_t take = 2; take <= 5 && i + take + 5 <= n; ++take) {
      const uint32_t a = offsets[i], b = offsets[i + take - 1];
      const uint32_t lo = std::min(a, b);  // mirrored maps run downwards
      if (std::max(a, b) + 3 - lo > 32 || size_t{lo} + 32 > srcRowBytes) break;
      k = take;
      base = lo;
    }
    if (k < 4) break;
    job.PairBases.push_back(base);
    job.PairCounts.push_back(static_cast<uint8_t>(k));
    std::array<uint8_t, 32> masks;
    masks.fill(0x80);  // zero: the spare bytes
    for (size_t p = 0; p < k; ++p) {
      for (uint32_t c = 0; c < 3; ++c) {
        const uint32_t at = offsets[i + p] - base + c;
        masks[(at < 16 ? 0 : 16) + 3 * p + c] = static_cast<uint8_t>(at % 16);
      }
    }
    job.PairMasks.insert(job.PairMasks.end(), masks.begin(), masks.end());
    i += k;
    job.PairEnds.push_back(i);
  }
}

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
#ifdef TOVRIN_GROUP_GATHER
  if (!job.ColumnsContiguous && copier.Plain() && copier.DestBytes() == 3 && CanGroupGather()) {
    PlanGroups(job, srcRowBytes);
    if (job.FastGroups == 0) PlanPairGroups(job, srcRowBytes);
  }
#endif
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
    return;
  }
  size_t done = 0;
#ifdef TOVRIN_GROUP_GATHER
  if (first == 0 && job.FastGroups > 0) {
    // Only runs that start at the job's first column: the groups are aligned to it.
    const size_t groups = std::min(job.FastGroups, count > 0 ? (count - 1) / 5 : 0);
    GroupGather(out, in, job.GroupBases.data(), job.GroupMasks.data(), groups);
    done = 5 * groups;
    out += 3 * done;
  } else if (first == 0 && !job.PairEnds.empty()) {
    // The groups whose spare bytes stay inside this run (five columns left after them).
    const size_t groups = static_cast<size_t>(
        std::upper_bound(job.PairEnds.begin(), job.PairEnds.end(), count >= 5 ? count - 5 : 0) -
        job.PairEnds.begin());
    if (groups > 0) {
      PairGather(out, in, job.PairBases.data(), job.PairCounts.data(), job.PairMasks.data(),
                 groups);
      done = job.PairEnds[groups - 1];
      out += 3 * done;
    }
  }
#endif
  const size_t start = first + done;
  const size_t rest = count - done;
  const auto rel = [&](size_t column) { return std::clamp(column, start, start + rest) - start; };
  copier.GatherRun(out, in, job.ColumnOffsets.data() + start, rest, rel(job.ShortLo),
                   rel(job.ShortHi));
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

namespace {

// The rectangles MirrorCopy hands to StretchCopy.
std::pair<TRect, TRect> MirrorRects(TRect destRect, const TBitmap& src, TRect srcRect, bool mirrorH,
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
  return {destRect, srcRect};
}

}  // namespace

TRect StretchCopyBox(const TBitmap& dest, const TRect& destRect, const TBitmap& src,
                     const TRect& srcRect) {
  if (dest.Empty() || src.Empty() || !TPixelCopier(dest, src).Valid()) return TRect{};
  const TStretchPlan plan =
      PlanStretch(destRect, srcRect, src.Width(), src.Height(), dest.BoundsRect());
  if (plan.Empty()) return TRect{};
  return TRect{plan.Columns.First, plan.Rows.First,
               plan.Columns.First + static_cast<int32_t>(plan.Columns.Source.size()),
               plan.Rows.First + static_cast<int32_t>(plan.Rows.Source.size())};
}

void MirrorCopy(TBitmap& dest, TRect destRect, const TBitmap& src, TRect srcRect, bool mirrorH,
                bool mirrorV) {
  const auto [d, s] = MirrorRects(destRect, src, srcRect, mirrorH, mirrorV);
  StretchCopy(dest, d, src, s);
}

TRect MirrorCopyBox(const TBitmap& dest, TRect destRect, const TBitmap& src, TRect srcRect,
                    bool mirrorH, bool mirrorV) {
  const auto [d, s] = MirrorRects(destRect, src, srcRect, mirrorH, mirrorV);
  return StretchCopyBox(dest, d, src, s);
}

}  // namespace tovrin
