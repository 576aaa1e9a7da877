// TDirtyRects: the invalid area of a window as a short list of rectangles, so that a frame
// whose changes lie in a few places sends only those places to the display.
//
// A rectangle inside one already listed adds nothing; listed ones inside a new one are dropped.
// Past MaxRects the list becomes its bounding box: beyond that, sending one larger rectangle
// costs less than bookkeeping many.
#pragma once

#include <cstddef>
#include <vector>

#include "gfx/rect.h"

namespace tovrin {

class TDirtyRects {
 public:
  static constexpr size_t MaxRects = 16;

  // Adds rect (empty ones are ignored).
  void Add(const TRect& rect);
  void Clear() { FRects.clear(); }
  bool Empty() const { return FRects.empty(); }
  const std::vector<TRect>& Rects() const { return FRects; }
  // The bounding box of the list (empty when the list is).
  TRect Bounds() const;
  // Every listed rectangle cut to clip; the empty results dropped.
  void ClipTo(const TRect& clip);

 private:
  std::vector<TRect> FRects;
};

}  // namespace tovrin
