#include "picshow/styles/compose_frame.h"

#include <cassert>

#include "gfx/draw.h"
#include "gfx/stretch.h"
#include "picshow/styles/style_table.h"

namespace tovrin {

namespace {

// When nothing looks at Media between the first copy of OldPic and the finishing step (no
// BeforeNewFrame hook) and the three bitmaps share one layout, the copy is left pending: the style
// lays OldPic only where nothing else will be drawn (a region style's finishing step writes OldPic
// and NewPic through the region in one pass). The same pixels, without writing most of the frame
// twice.
bool CanDeferOldPic(const TComposeFrameArgs& a, const TStyleEntry& entry) {
  const auto sameLayout = [&](const TBitmap& b) {
    return b.PixelFormat() == TPixelFormat::pf24bit && b.Width() == a.Media.Width() &&
           b.Height() == a.Media.Height();
  };
  return entry.LaysOldPic && !a.Hooks.BeforeNewFrame && sameLayout(a.Media) &&
         sameLayout(a.OldPic) && sameLayout(a.NewPic);
}

void FinishFrame(TStyleFrame& f, TStyleKind kind) {
  const TComposeFrameArgs& a = f.Args;
  bool newPicDrawn = false;
  if (f.OldPicPending && a.Progress != 100) {
    if (kind == TStyleKind::skRegion && a.Progress != 0 && f.Region) {
      ComposeThroughRegion(a.Media, a.OldPic, a.NewPic, *f.Region);
      f.OldPicPending = false;
      newPicDrawn = true;
    } else {
      f.DrawPendingOldPic();
    }
  }
  if (a.Progress == 100) {
    // Every style ends on the exact incoming picture.
    Draw(a.Media, 0, 0, a.NewPic);
  } else if (a.Progress != 0 && !newPicDrawn) {
    switch (kind) {
      case TStyleKind::skRegion:
        // A region style that made no shape adds nothing: there is no area to show NewPic in.
        if (f.Region) DrawClipped(a.Media, 0, 0, a.NewPic, *f.Region);
        break;
      case TStyleKind::skRectangle:
        StretchCopy(a.Media, f.Dest, a.NewPic, f.Source);
        break;
      case TStyleKind::skPixel:
        break;
    }
  }
  f.Region.reset();
  a.Hooks.Invalidate(f.Dest);
  if (a.Hooks.AfterNewFrame) a.Hooks.AfterNewFrame(a.NewPic, a.Media);
  if (a.Hooks.Update) a.Hooks.Update();
}

}  // namespace

void ComposeFrame(const TComposeFrameArgs& args) {
  assert(args.Hooks.Invalidate);
  const bool deferOldPic = args.Style < StyleCount && CanDeferOldPic(args, StyleEntry(args.Style));
  if (!deferOldPic) Draw(args.Media, 0, 0, args.OldPic);
  if (args.Hooks.BeforeNewFrame) args.Hooks.BeforeNewFrame(args.NewPic, args.Media);

  const int32_t w = args.NewPic.Width();
  const int32_t h = args.NewPic.Height();
  // The extents: the longer side is scaled from Progress and the shorter follows it.
  TStyleFrame frame{.Args = args,
                    .Extents = ComputeFrameExtents(w, h, args.Progress, args.Step),
                    .Dest = TRect{0, 0, w, h},
                    .Source = TRect{0, 0, w, h},
                    .Region = {},
                    .OldPicPending = deferOldPic};

  if (args.Style >= StyleCount) return;
  const TStyleEntry& entry = StyleEntry(args.Style);
  entry.Compose(frame);
  FinishFrame(frame, entry.Kind);
}

}  // namespace tovrin
