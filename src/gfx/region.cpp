// TRegion basics: construction from rectangles, queries, the invariant check and the band builder.
// The shapes live in region_round_rect.cpp and region_polygon.cpp, the set operations in
// region_combine.cpp.
#include "gfx/region.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <utility>

#include "gfx/region_builder.h"

namespace tovrin {

namespace {

// True when the bands starting at a and b (indices into rects) hold the same x-intervals.
bool SameSpans(const std::vector<TRect>& rects, size_t a, size_t aEnd, size_t b, size_t bEnd) {
  if (aEnd - a != bEnd - b) return false;
  for (; a < aEnd; ++a, ++b) {
    if (rects[a].Left != rects[b].Left || rects[a].Right != rects[b].Right) return false;
  }
  return true;
}

}  // namespace

void TRegionBuilder::EndBand() {
  const size_t end = FRects.size();
  if (end == FBandStart) return;  // nothing in this band; the previous one is no longer adjacent
  FMinLeft = std::min(FMinLeft, FRects[FBandStart].Left);
  FMaxRight = std::max(FMaxRight, FRects.back().Right);
  if (FPrevBand != kNone && FRects[FPrevBand].Bottom == FTop &&
      SameSpans(FRects, FPrevBand, FBandStart, FBandStart, end)) {
    for (size_t i = FPrevBand; i < FBandStart; ++i) FRects[i].Bottom = FBottom;
    FRects.resize(FBandStart);
    return;
  }
  FPrevBand = FBandStart;
}

void TRegionBuilder::AppendBands(const TRect* begin, const TRect* end, int32_t clipTop) {
  if (begin == end) return;
  const TRect* firstEnd = begin;
  while (firstEnd != end && firstEnd->Top == begin->Top) ++firstEnd;
  const int32_t firstTop = std::max(begin->Top, clipTop);

  bool joined = false;
  if (FPrevBand != kNone && FRects[FPrevBand].Bottom == firstTop &&
      FRects.size() - FPrevBand == static_cast<size_t>(firstEnd - begin)) {
    joined = true;
    for (size_t i = FPrevBand, k = 0; joined && i < FRects.size(); ++i, ++k) {
      joined = FRects[i].Left == begin[k].Left && FRects[i].Right == begin[k].Right;
    }
  }
  if (joined) {
    for (size_t i = FPrevBand; i < FRects.size(); ++i) FRects[i].Bottom = begin->Bottom;
    begin = firstEnd;
  }
  const size_t start = FRects.size();
  FRects.insert(FRects.end(), begin, end);
  for (size_t i = start; i < FRects.size(); ++i) {
    FMinLeft = std::min(FMinLeft, FRects[i].Left);
    FMaxRight = std::max(FMaxRight, FRects[i].Right);
  }
  if (!joined) {
    for (size_t i = start; i < FRects.size() && FRects[i].Top == begin->Top; ++i) {
      FRects[i].Top = firstTop;
    }
  }
  // The last band of the list is the one the next band may join.
  size_t last = FRects.size() - 1;
  while (last > 0 && FRects[last - 1].Top == FRects.back().Top) --last;
  FPrevBand = last;
  FBandStart = FRects.size();
}

TRegion TRegionBuilder::Finish() {
  TRegion region;
  region.FRects = std::move(FRects);
  if (!region.FRects.empty()) {
    // Banding puts the smallest Top first and the largest Bottom last.
    region.FExtents =
        TRect{FMinLeft, region.FRects.front().Top, FMaxRight, region.FRects.back().Bottom};
  }
  FRects.clear();
  FMinLeft = INT32_MAX;
  FMaxRight = INT32_MIN;
  FPrevBand = kNone;
  FBandStart = 0;
  assert(region.IsValid());
  return region;
}

TRegion TRegion::CreateRectRgn(int32_t l, int32_t t, int32_t r, int32_t b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  TRegion region;
  if (l == r || t == b) return region;
  region.FRects.push_back(TRect{l, t, r, b});
  region.FExtents = region.FRects.front();
  return region;
}

TRegion TRegion::FromCanonicalRects(std::vector<TRect> rects) {
  TRegion region;
  region.FRects = std::move(rects);
  region.UpdateExtents();
  assert(region.IsValid());
  return region;
}

void TRegion::UpdateExtents() {
  if (FRects.empty()) {
    FExtents = TRect{};
    return;
  }
  // Banding puts the smallest Top first and the largest Bottom last; only the sides need a scan.
  FExtents =
      TRect{FRects.front().Left, FRects.front().Top, FRects.back().Right, FRects.back().Bottom};
  for (const TRect& r : FRects) {
    FExtents.Left = std::min(FExtents.Left, r.Left);
    FExtents.Right = std::max(FExtents.Right, r.Right);
  }
}

void TRegion::Offset(int32_t dx, int32_t dy) {
  if (FRects.empty() || (dx == 0 && dy == 0)) return;
  static constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  static constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  if (FExtents.Left + int64_t{dx} >= kMin && FExtents.Right + int64_t{dx} <= kMax &&
      FExtents.Top + int64_t{dy} >= kMin && FExtents.Bottom + int64_t{dy} <= kMax) {
    for (TRect& r : FRects) r.Offset(dx, dy);
    FExtents.Offset(dx, dy);
    return;
  }
  // Some boxes leave the coordinate range: clamp them and rebuild, since clamped boxes may become
  // empty and bands that differed only beyond the edge may become equal.
  const auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp(v, kMin, kMax)); };
  TRegionBuilder out(FRects.size());
  for (size_t i = 0; i < FRects.size();) {
    const int32_t top = clamp(FRects[i].Top + int64_t{dy});
    const int32_t bottom = clamp(FRects[i].Bottom + int64_t{dy});
    const int32_t bandTop = FRects[i].Top;
    if (top < bottom) out.BeginBand(top, bottom);
    for (; i < FRects.size() && FRects[i].Top == bandTop; ++i) {
      if (top < bottom) {
        out.AddSpan(clamp(FRects[i].Left + int64_t{dx}), clamp(FRects[i].Right + int64_t{dx}));
      }
    }
    if (top < bottom) out.EndBand();
  }
  *this = out.Finish();
}

bool TRegion::Contains(int32_t x, int32_t y) const {
  if (FRects.empty() || x < FExtents.Left || x >= FExtents.Right || y < FExtents.Top ||
      y >= FExtents.Bottom) {
    return false;
  }
  // Bottoms never decrease along the list, so the first box reaching below y starts the band
  // that may hold row y (if that band starts above or at y).
  auto band = std::partition_point(FRects.begin(), FRects.end(),
                                   [y](const TRect& r) { return r.Bottom <= y; });
  if (band == FRects.end() || band->Top > y) return false;
  const int32_t top = band->Top;
  auto bandEnd =
      std::partition_point(band, FRects.end(), [top](const TRect& r) { return r.Top == top; });
  auto box = std::partition_point(band, bandEnd, [x](const TRect& r) { return r.Right <= x; });
  return box != bandEnd && box->Left <= x;
}

bool TRegion::IsValid() const {
  if (FRects.empty()) return FExtents == TRect{};
  TRect box{FRects.front().Left, FRects.front().Top, FRects.front().Right, FRects.front().Bottom};
  size_t prevBand = static_cast<size_t>(-1);
  size_t bandStart = 0;
  for (size_t i = 0; i < FRects.size(); ++i) {
    const TRect& r = FRects[i];
    if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
    box.Left = std::min(box.Left, r.Left);
    box.Right = std::max(box.Right, r.Right);
    box.Bottom = std::max(box.Bottom, r.Bottom);
    if (i == 0) continue;
    const TRect& p = FRects[i - 1];
    if (r.Top == p.Top) {
      // Same band: same height, sorted, separated by at least one pixel.
      if (r.Bottom != p.Bottom || r.Left <= p.Right) return false;
      continue;
    }
    // A new band starts: it must lie below the previous one, and the band that just ended must
    // not repeat the one above it when the two touch.
    if (r.Top < p.Bottom) return false;
    if (prevBand != static_cast<size_t>(-1) && FRects[prevBand].Bottom == FRects[bandStart].Top &&
        SameSpans(FRects, prevBand, bandStart, bandStart, i)) {
      return false;
    }
    prevBand = bandStart;
    bandStart = i;
  }
  if (prevBand != static_cast<size_t>(-1) && FRects[prevBand].Bottom == FRects[bandStart].Top &&
      SameSpans(FRects, prevBand, bandStart, bandStart, FRects.size())) {
    return false;
  }
  return FExtents == box;
}

}  // namespace tovrin
