#include "picshow/shape_union.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace tovrin {

namespace {

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

}  // namespace

void TShapeUnion::AddRect(int64_t l, int64_t t, int64_t r, int64_t b) {
  FHasShape = true;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  const TRect rect{Clamp32(l), Clamp32(t), Clamp32(r), Clamp32(b)};
  if (!rect.IsEmpty()) FRects.push_back(rect);
}

void TShapeUnion::AddRegion(const TRegion& region) {
  FHasShape = true;
  FRects.insert(FRects.end(), region.Rects().begin(), region.Rects().end());
}

std::optional<TRegion> TShapeUnion::Region() const {
  if (!FHasShape) return std::nullopt;
  return UnionOfRects(FRects);
}

namespace {

bool TopThenLeft(const TRect& a, const TRect& b) {
  return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
}

// Sorts by (Top, Left) by merging the already ordered runs of the input: shapes arrive mostly in
// order (a region's own boxes, bands added top to bottom), so there are far fewer runs than
// boxes and this is cheaper than sorting from scratch.
void SortByTopThenLeft(std::vector<TRect>& rects) {
  std::vector<size_t> bounds{0};
  for (size_t i = 1; i < rects.size(); ++i) {
    if (TopThenLeft(rects[i], rects[i - 1])) bounds.push_back(i);
  }
  bounds.push_back(rects.size());
  if (bounds.size() <= 2) return;
  std::vector<TRect> buffer(rects.size());
  std::vector<TRect>* from = &rects;
  std::vector<TRect>* to = &buffer;
  std::vector<size_t> merged;
  while (bounds.size() > 2) {
    merged.assign(1, 0);
    for (size_t k = 0; k + 1 < bounds.size(); k += 2) {
      const size_t lo = bounds[k];
      const size_t mid = bounds[k + 1];
      const size_t hi = k + 2 < bounds.size() ? bounds[k + 2] : mid;
      std::merge(
          from->begin() + static_cast<ptrdiff_t>(lo), from->begin() + static_cast<ptrdiff_t>(mid),
          from->begin() + static_cast<ptrdiff_t>(mid), from->begin() + static_cast<ptrdiff_t>(hi),
          to->begin() + static_cast<ptrdiff_t>(lo), TopThenLeft);
      merged.push_back(hi);
    }
    std::swap(from, to);
    bounds.swap(merged);
  }
  if (from != &rects) rects.swap(buffer);
}

}  // namespace

// The sweep walks down the picture one strip at a time. Within a strip the set of rectangles
// crossing it is constant; it is kept sorted by Left, so the strip's x-intervals come out of one
// linear pass that joins overlapping and touching rectangles, and the same pass finds the lowest
// bottom, where the next strip starts (unless a rectangle starts first). A strip whose intervals
// equal those of the strip just above it extends that band instead of starting a new one, which
// gives the canonical band list directly.
TRegion TShapeUnion::UnionOfRects(std::vector<TRect> rects) {
  std::erase_if(rects, [](const TRect& r) { return r.IsEmpty(); });
  if (rects.empty()) return TRegion();
  SortByTopThenLeft(rects);

  const auto byLeft = [](const TRect& a, const TRect& b) { return a.Left < b.Left; };
  std::vector<TRect> active;
  std::vector<std::pair<int32_t, int32_t>> spans;
  std::vector<TRect> out;
  size_t next = 0;
  size_t bandStart = 0;  // first box of the last band written to out
  bool haveBand = false;
  int32_t y0 = rects[0].Top;

  for (;;) {
    std::erase_if(active, [y0](const TRect& r) { return r.Bottom <= y0; });
    const size_t oldCount = active.size();
    while (next < rects.size() && rects[next].Top == y0) active.push_back(rects[next++]);
    std::inplace_merge(active.begin(), active.begin() + static_cast<ptrdiff_t>(oldCount),
                       active.end(), byLeft);
    if (active.empty()) {
      if (next == rects.size()) break;
      y0 = rects[next].Top;  // a gap: the next band cannot extend the last one
      haveBand = false;
      continue;
    }

    spans.clear();
    int32_t y1 = active.front().Bottom;
    for (const TRect& r : active) {
      y1 = std::min(y1, r.Bottom);
      if (!spans.empty() && r.Left <= spans.back().second) {
        spans.back().second = std::max(spans.back().second, r.Right);
      } else {
        spans.emplace_back(r.Left, r.Right);
      }
    }
    if (next < rects.size()) y1 = std::min(y1, rects[next].Top);

    bool same = haveBand && out.size() - bandStart == spans.size();
    for (size_t i = 0; same && i < spans.size(); ++i) {
      same =
          out[bandStart + i].Left == spans[i].first && out[bandStart + i].Right == spans[i].second;
    }
    if (same) {
      for (size_t i = bandStart; i < out.size(); ++i) out[i].Bottom = y1;
    } else {
      bandStart = out.size();
      for (const auto& [l, r] : spans) out.push_back(TRect{l, y0, r, y1});
      haveBand = true;
    }
    y0 = y1;
  }
  return TRegion::FromCanonicalRects(std::move(out));
}

}  // namespace tovrin
