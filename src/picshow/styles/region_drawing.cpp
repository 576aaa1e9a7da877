// How the region styles are drawn: the geometric ones (bands, curved wipes, iris, triangles) and
// the random ones (ragged, crumble, random blocks) compute the frame's region
// (geometric_regions.h, random_regions.h) and leave it to the finishing step of ComposeFrame,
// which draws NewPic into Media through it, together with a pending OldPic outside it.
#include "picshow/styles/geometric_regions.h"
#include "picshow/styles/random_regions.h"
#include "picshow/styles/style_table.h"

namespace tovrin {

void ComposeGeometricStyle(TStyleFrame& frame) {
  frame.Region = GeometricStyleRegion(frame.Args.Style, frame.Extents);
}

void ComposeRandomStyle(TStyleFrame& frame) {
  frame.Region = RandomStyleRegion(frame.Args.Style, frame.Extents, frame.Args.Random);
}

}  // namespace tovrin
