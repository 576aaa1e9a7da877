#include "platform/sdl/dirty_rects.h"

#include <algorithm>

namespace tovrin {

namespace {

bool Contains(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

TRect Union(const TRect& a, const TRect& b) {
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

}  // namespace

void TDirtyRects::Add(const TRect& rect) {
  if (rect.IsEmpty()) return;
  for (const TRect& r : FRects) {
    if (Contains(r, rect)) return;
  }
  std::erase_if(FRects, [&rect](const TRect& r) { return Contains(rect, r); });
  FRects.push_back(rect);
  if (FRects.size() > MaxRects) {
    const TRect box = Bounds();
    FRects.assign(1, box);
  }
}

TRect TDirtyRects::Bounds() const {
  if (FRects.empty()) return TRect{};
  TRect box = FRects.front();
  for (const TRect& r : FRects) box = Union(box, r);
  return box;
}

void TDirtyRects::ClipTo(const TRect& clip) {
  for (TRect& r : FRects) r = IntersectRect(r, clip);
  std::erase_if(FRects, [](const TRect& r) { return r.IsEmpty(); });
}

}  // namespace tovrin
