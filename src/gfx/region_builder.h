// TRegionBuilder: writes a region band by band, from the top down, in canonical form.
//
// Every region producer of this module (rectangles, rounded rectangles, polygons and the combine
// sweep) emits its pixels as horizontal bands. The builder keeps the two rules that make the list
// canonical: spans that touch within a band are joined, and a band whose spans equal those of the
// band right above it (touching it) extends that band instead of starting a new one.
//
//   BeginBand(top, bottom); AddSpan(l, r); AddSpan(l2, r2); ...; EndBand();   (repeat)
//   TRegion region = builder.Finish();
//
// Bands must come in increasing order and must not overlap vertically; spans within a band must
// come in increasing order of Left. Empty bands are fine (they add nothing).
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/rect.h"
#include "gfx/region.h"

namespace tovrin {

class TRegionBuilder {
 public:
  explicit TRegionBuilder(size_t expectedRects = 0) { FRects.reserve(expectedRects); }

  // Starts the band of rows [top, bottom); top < bottom and top >= the previous band's bottom.
  void BeginBand(int32_t top, int32_t bottom) {
    FTop = top;
    FBottom = bottom;
    FBandStart = FRects.size();
  }

  // Adds the pixels [left, right) of the current band. An empty span is ignored; a span that
  // touches or overlaps the previous one of the band is joined to it.
  void AddSpan(int32_t left, int32_t right) {
    if (left >= right) return;
    if (FRects.size() > FBandStart && left <= FRects.back().Right) {
      if (right > FRects.back().Right) FRects.back().Right = right;
      return;
    }
    FRects.push_back(TRect{left, FTop, right, FBottom});
  }

  // Closes the current band, merging it into the band above when both hold the same spans.
  void EndBand();

  // Appends whole bands copied from a canonical box list, [begin, end) starting at a band
  // boundary, with the first band's top raised to clipTop when it starts above it. Only the first
  // band can join the band above; the rest are canonical already. No band may be open.
  void AppendBands(const TRect* begin, const TRect* end, int32_t clipTop);

  // The finished region; the builder is left empty.
  TRegion Finish();

 private:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  std::vector<TRect> FRects;
  // The smallest Left and largest Right of the bands closed so far: the extents' sides, kept as
  // bands close so that Finish need not scan every box.
  int32_t FMinLeft = INT32_MAX;
  int32_t FMaxRight = INT32_MIN;
  size_t FPrevBand = kNone;  // first box of the last band written
  size_t FBandStart = 0;     // first box of the band being written
  int32_t FTop = 0;
  int32_t FBottom = 0;
};

}  // namespace tovrin
