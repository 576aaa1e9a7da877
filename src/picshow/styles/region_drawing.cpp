// The region and pixel families in the frame composer: the geometric region styles (bands,
// curved wipes, iris, triangles) and the random ones (ragged, crumble, random blocks) leave their
// region for the finishing step; the pixel styles (cross-fade, swing-in) write Media themselves.
#include "picshow/styles/geometric_regions.h"
#include "picshow/styles/pixel_drawing.h"
#include "picshow/styles/random_regions.h"
#include "picshow/styles/style_table.h"

namespace tovrin {

void ComposeGeometricStyle(TStyleFrame& frame) {
  frame.Region = GeometricStyleRegion(frame.Args.Style, frame.Extents);
}

void ComposeRandomStyle(TStyleFrame& frame) {
  frame.Region = RandomStyleRegion(frame.Args.Style, frame.Extents, frame.Args.Random);
}

void ComposePixelStyleFrame(TStyleFrame& frame) {
  const TComposeFrameArgs& a = frame.Args;
  if (frame.OldPicPending && a.Style == CrossFadeStyle && a.Progress != 0) {
    // The cross-fade writes every pixel from OldPic and NewPic (at 100 the finishing step does).
    if (a.Progress != 100) BlendFrame(a.Media, a.OldPic, a.NewPic, a.Progress);
    frame.OldPicPending = false;
    return;
  }
  frame.DrawPendingOldPic();
  ComposePixelStyle(a.Style, a.Media, a.NewPic, frame.Extents);
}

}  // namespace tovrin
