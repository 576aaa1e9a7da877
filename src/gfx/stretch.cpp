#include "gfx/stretch.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
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

// Where a shrinking row's 16-byte chunks come from, for rows whose first byte lies Phase bytes
// past a 16-byte boundary: chunk c is destination bytes Head + 16c .. + 16 of the row, an aligned
// block, gathered from the 64 source bytes from Bases[c] by the 64 shuffle indices Masks[64c ..]
// (the indices for the source bytes 0-15, 16-31, 32-47 and 48-63 of the window in turn).
struct TChunkPlan {
  size_t Head = 0;
  std::vector<uint32_t> Bases;
  std::vector<uint8_t> Masks;
};

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
  // Shrinking 24-bit rows are gathered in 16-byte chunks (see ChunkGather), planned for each
  // alignment of the destination row that occurs, when first needed.
  bool UseChunks = false;
  bool ChunksAvx2 = false;
  size_t SrcRowBytes = 0;
  std::array<std::optional<TChunkPlan>, 16> ChunkPlans;
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

// Sixteen destination bytes from a 64-byte window of the source row: each 16-byte part of the
// window is shuffled into place by its own indices (0x80 leaves a byte zero) and the four results
// are merged. The stores fall on 16-byte boundaries, so none straddles two cache lines.
__attribute__((target("ssse3"))) void ChunkGatherSsse3(uint8_t* dest, const uint8_t* srcRow,
                                                       const uint32_t* bases, const uint8_t* masks,
                                                       size_t chunks) {
  for (size_t c = 0; c < chunks; ++c, dest += 16, masks += 64) {
    const uint8_t* window = srcRow + bases[c];
    __m128i out = _mm_setzero_si128();
    for (int part = 0; part < 4; ++part) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(window + 16 * part));
      const __m128i index = _mm_loadu_si128(reinterpret_cast<const __m128i*>(masks + 16 * part));
      out = _mm_or_si128(out, _mm_shuffle_epi8(bytes, index));
    }
    _mm_store_si128(reinterpret_cast<__m128i*>(dest), out);
  }
}

// The same with two 32-byte shuffles, each lane of which does one part.
#if defined(TOVRIN_AVX2)
__attribute__((target("avx2"))) void ChunkGatherAvx2(uint8_t* dest, const uint8_t* srcRow,
                                                     const uint32_t* bases, const uint8_t* masks,
                                                     size_t chunks) {
  for (size_t c = 0; c < chunks; ++c, dest += 16, masks += 64) {
    const uint8_t* window = srcRow + bases[c];
    const __m256i low =
        _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(window)),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(masks)));
    const __m256i high =
        _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(window + 32)),
                            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(masks + 32)));
    const __m256i both = _mm256_or_si256(low, high);
    _mm_store_si128(reinterpret_cast<__m128i*>(dest),
                    _mm_or_si128(_mm256_castsi256_si128(both), _mm256_extracti128_si256(both, 1)));
  }
}
#endif

void ChunkGather(uint8_t* dest, const uint8_t* srcRow, const TChunkPlan& plan, size_t chunks,
                 [[maybe_unused]] bool avx2) {
#if defined(TOVRIN_AVX2)
  if (avx2) {
    ChunkGatherAvx2(dest, srcRow, plan.Bases.data(), plan.Masks.data(), chunks);
    return;
  }
#endif
  ChunkGatherSsse3(dest, srcRow, plan.Bases.data(), plan.Masks.data(), chunks);
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

// The chunks of a shrinking row whose first byte lies phase bytes past a 16-byte boundary: from
// the first aligned chunk on, as long as each chunk's source bytes lie within 64 bytes and its
// window stays inside the source row. The map may run downwards (mirrored).
TChunkPlan PlanChunks(const std::vector<uint32_t>& offsets, size_t srcRowBytes, size_t phase) {
  TChunkPlan plan;
  plan.Head = (16 - phase) % 16;
  const size_t bytes = 3 * offsets.size();
  const auto sourceByte = [&](size_t b) { return offsets[b / 3] + static_cast<uint32_t>(b % 3); };
  for (size_t at = plan.Head; at + 16 <= bytes; at += 16) {
    uint32_t lo = UINT32_MAX, hi = 0;
    for (size_t j = 0; j < 16; ++j) {
      lo = std::min(lo, sourceByte(at + j));
      hi = std::max(hi, sourceByte(at + j));
    }
    if (hi - lo >= 64 || size_t{lo} + 64 > srcRowBytes) break;
    plan.Bases.push_back(lo);
    std::array<uint8_t, 64> masks;
    masks.fill(0x80);
    for (size_t j = 0; j < 16; ++j) {
      const uint32_t o = sourceByte(at + j) - lo;
      masks[16 * (o / 16) + j] = static_cast<uint8_t>(o % 16);
    }
    plan.Masks.insert(plan.Masks.end(), masks.begin(), masks.end());
  }
  return plan;
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
    job.UseChunks = job.FastGroups == 0;
    job.SrcRowBytes = srcRowBytes;
    job.ChunksAvx2 = job.UseChunks && CanUseAvx2();
  }
#endif
  return job;
}

// Fills columns [left, right) of destination row y (all inside job.Box) from source row srcY.
void FillRow(TBitmap& dest, const TBitmap& src, const TPixelCopier& copier, TStretchJob& job,
             int32_t y, int32_t srcY, int32_t left, int32_t right) {
  uint8_t* const row = dest.ScanLine(y) + static_cast<size_t>(left) * copier.DestBytes();
  const uint8_t* in = src.ScanLine(srcY);
  const size_t first = static_cast<size_t>(left - job.Box.Left);
  const size_t count = static_cast<size_t>(right - left);
  if (job.ColumnsContiguous) {
    copier.CopyRun(row, in + job.ColumnOffsets[first], count);
    return;
  }
  // Columns [from, to) of this run by the plain gather.
  const auto gather = [&](size_t from, size_t to) {
    const auto rel = [&](size_t column) {
      return std::clamp(column, first + from, first + to) - (first + from);
    };
    copier.GatherRun(row + from * copier.DestBytes(), in, job.ColumnOffsets.data() + first + from,
                     to - from, rel(job.ShortLo), rel(job.ShortHi));
  };
  size_t done = 0;
#ifdef TOVRIN_GROUP_GATHER
  if (first == 0 && job.FastGroups > 0) {
    // Only runs that start at the job's first column: the groups are aligned to it.
    const size_t groups = std::min(job.FastGroups, count > 0 ? (count - 1) / 5 : 0);
    GroupGather(row, in, job.GroupBases.data(), job.GroupMasks.data(), groups);
    done = 5 * groups;
  } else if (first == 0 && job.UseChunks) {
    const size_t phase = reinterpret_cast<uintptr_t>(row) % 16;
    std::optional<TChunkPlan>& plan = job.ChunkPlans[phase];
    if (!plan) plan = PlanChunks(job.ColumnOffsets, job.SrcRowBytes, phase);
    const size_t bytes = 3 * count;
    const size_t chunks =
        bytes >= plan->Head ? std::min(plan->Bases.size(), (bytes - plan->Head) / 16) : 0;
    if (chunks > 0) {
      // The pixels before the first chunk, then the chunks, which rewrite the part of the last
      // of those pixels that they cover; the pixel the last chunk ends in is redone below.
      gather(0, (plan->Head + 2) / 3);
      ChunkGather(row + plan->Head, in, *plan, chunks, job.ChunksAvx2);
      done = (plan->Head + 16 * chunks) / 3;
    }
  }
#endif
  gather(done, count);
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
  TStretchJob job = MakeJob(plan, copier, src.Stride());
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
