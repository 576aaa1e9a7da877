// How style 0, the cut, is drawn.
#include "picshow/styles/style_table.h"

namespace tovrin {

// With a CustomDraw hook the hook composes the frame and no region is made, so between 0 and
// 100 the finishing step adds nothing over the hook's drawing. Without one the new picture
// appears at once and Progress jumps to the end value of the run: 100 forward (the frame is
// NewPic), 0 in a reversed run (the frame is OldPic, already drawn). Jumping to 100 in a
// reversed run would keep it from ever reaching its end value 0.
void ComposeCut(TStyleFrame& frame) {
  const TComposeFrameArgs& a = frame.Args;
  if (a.Hooks.CustomDraw) {
    frame.DrawPendingOldPic();  // the hook draws over the outgoing picture
    a.Hooks.CustomDraw(a.NewPic, a.Media);
    return;
  }
  if (a.Reverse) {
    a.Progress = 0;  // the finishing step lays a pending OldPic
    return;
  }
  // NewPic is drawn whole by the finishing step, which sees Progress 100; drawing it here too
  // would only copy the same pixels twice, as would laying a pending OldPic.
  frame.Region = TRegion::CreateRectRgn(0, 0, frame.Extents.W, frame.Extents.H);
  a.Progress = 100;
}

}  // namespace tovrin
