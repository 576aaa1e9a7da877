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

// The sweep walks the distinct top and bottom edges downwards. Between two consecutive edges the
// set of rectangles crossing the strip is constant; it is kept sorted by Left, so the strip's
// x-intervals come out of one linear pass that joins overlapping and touching rectangles. A strip
// whose intervals equal those of the strip just above it extends that band instead of starting a
// new one, which gives the canonical band list directly.
TRegion TShapeUnion::UnionOfRects(std::vector<TRect> rects) {
  std::erase_if(rects, [](const TRect& r) { return r.IsEmpty(); });
  if (rects.empty()) return TRegion();

  std::sort(rects.begin(), rects.end(), [](const TRect& a, const TRect& b) {
    return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
  });
  std::vector<int32_t> edges;
  edges.reserve(rects.size() * 2);
  for (const TRect& r : rects) {
    edges.push_back(r.Top);
    edges.push_back(r.Bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  const auto byLeft = [](const TRect& a, const TRect& b) { return a.Left < b.Left; };
  std::vector<TRect> active;
  std::vector<std::pair<int32_t, int32_t>> spans;
  std::vector<TRect> out;
  size_t next = 0;
  size_t bandStart = 0;  // first box of the last band written to out
  bool haveBand = false;

  for (size_t k = 0; k + 1 < edges.size(); ++k) {
    const int32_t y0 = edges[k];
    const int32_t y1 = edges[k + 1];
    std::erase_if(active, [y0](const TRect& r) { return r.Bottom <= y0; });
    const size_t oldCount = active.size();
    while (next < rects.size() && rects[next].Top == y0) active.push_back(rects[next++]);
    std::inplace_merge(active.begin(), active.begin() + static_cast<ptrdiff_t>(oldCount),
                       active.end(), byLeft);

    spans.clear();
    for (const TRect& r : active) {
      if (!spans.empty() && r.Left <= spans.back().second) {
        spans.back().second = std::max(spans.back().second, r.Right);
      } else {
        spans.emplace_back(r.Left, r.Right);
      }
    }
    if (spans.empty()) {
      haveBand = false;
      continue;
    }

    bool same = haveBand && out[bandStart].Bottom == y0 && out.size() - bandStart == spans.size();
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
  }
  return TRegion::FromCanonicalRects(std::move(out));
}

}  // namespace tovrin
