// Presentation of the picture control: where Media lies (DisplayRect), how a changed rectangle
// of Media reaches the screen, and the double-buffered paint.
//
//   client area                 Stretch off:            Stretch on:          Stretch + Fine:
//   +----------------+          Media unscaled at       Media scaled to      Media scaled into
//   |   DisplayRect  |          DisplayRect (centred    the whole client     FitRect(DisplayRect,
//   |   +--------+   |          with Center)            area                 client), centred
//   |   | Media  |   |
//   |   +--------+   |          every paint: Color fill, BgPicture by BgMode, Media
//   +----------------+          -> BackBuffer -> one copy to the canvas
#include "gfx/draw.h"
#include "gfx/fit.h"
#include "gfx/muldiv.h"
#include "gfx/stretch.h"
#include "gfx/tile.h"
#include "picshow/custom_pic_show.h"

namespace tovrin {

namespace {

bool Covers(const TRect& outer, const TRect& inner) {
  return outer.Left <= inner.Left && outer.Top <= inner.Top && outer.Right >= inner.Right &&
         outer.Bottom >= inner.Bottom;
}

// Clears the flag on every way out of a scope.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& FFlag;
};

}  // namespace

void TCustomPicShow::CalculateDisplayRect() {
  if (FMedia.Empty()) return;
  FDisplayRect = TRect{0, 0, FMedia.Width(), FMedia.Height()};
  if (FCenter) {
    FDisplayRect.Offset(HalfTrunc(FWidth - FMedia.Width()), HalfTrunc(FHeight - FMedia.Height()));
  }
}

TRect TCustomPicShow::MediaPaintRect() const {
  if (!FStretch) return FDisplayRect;
  if (FStretchFine) return FitRect(FDisplayRect, ClientRect());
  return ClientRect();
}

void TCustomPicShow::InvalidateMediaRect(TRect r) {
  if (FStretch) {
    const TRect t = MediaPaintRect();
    const int32_t dw = FDisplayRect.Width();
    const int32_t dh = FDisplayRect.Height();
    if (dw <= 0 || dh <= 0) {
      // Nothing to scale from: take the whole target as changed.
      r = t;
    } else {
      r.Left = MulDiv(r.Left, t.Width(), dw) + t.Left;
      r.Right = MulDiv(r.Right, t.Width(), dw) + t.Left;
      r.Top = MulDiv(r.Top, t.Height(), dh) + t.Top;
      r.Bottom = MulDiv(r.Bottom, t.Height(), dh) + t.Top;
    }
  } else {
    if (FCenter) r.Offset(FDisplayRect.Left, FDisplayRect.Top);
    r.Left = std::max(r.Left, FDisplayRect.Left);
    r.Right = std::min(r.Right, FDisplayRect.Right);
    r.Top = std::max(r.Top, FDisplayRect.Top);
    r.Bottom = std::min(r.Bottom, FDisplayRect.Bottom);
  }
  if (FDestroying) return;
  r.Offset(FLeft, FTop);
  FParent.InvalidateRect(r, false);
}

void TCustomPicShow::Invalidate() {
  if (FDestroying) return;
  // Opaque: the parent need not erase behind the control.
  FParent.InvalidateRect(BoundsRect(), false);
}

void TCustomPicShow::Update() {
  FParent.Update();
}

void TCustomPicShow::Repaint() {
  Invalidate();
  Update();
}

void TCustomPicShow::WMSize() {
  if (!FPicture.HasGraphic()) return;
  CalculateDisplayRect();
  if (!FMedia.Empty() && !FPainting) Invalidate();
}

void TCustomPicShow::WMPaint(TCanvas& canvas) {
  // A paint while painting, or from another thread, is dropped.
  if (FPainting || !FApplication.IsMainThread()) return;
  TFlagGuard painting(FPainting);
  Paint(canvas);
}

void TCustomPicShow::Paint(TCanvas& canvas) {
  const TRect client = ClientRect();
  if (FBackBuffer.Width() != FWidth || FBackBuffer.Height() != FHeight) {
    FBackBuffer.SetSize(FWidth, FHeight);
  }
  {
    TCanvasLockGuard lock(FBackBufferLock);
    const TGraphic* background = FBgMode != TBackgroundMode::bmNone && FBgPicture.HasGraphic()
                                     ? FBgPicture.Graphic()
                                     : nullptr;
    const TRect mediaRect = MediaPaintRect();
    // Skip the colour fill when Media hides all of it: a full-screen frame is then one copy.
    if (background || FMedia.Empty() || !Covers(mediaRect, client)) {
      FBackBuffer.Fill(ColorToRGB(Color()));
    }
    if (background) {
      const TBitmap& bg = background->Bitmap();
      switch (FBgMode) {
        case TBackgroundMode::bmTiled:
          TileGraphic(FBackBuffer, client, bg);
          break;
        case TBackgroundMode::bmStretched:
          StretchDrawGraphic(FBackBuffer, client, bg);
          break;
        case TBackgroundMode::bmCentered:
          Draw(FBackBuffer, HalfTrunc(FWidth - bg.Width()), HalfTrunc(FHeight - bg.Height()), bg);
          break;
        case TBackgroundMode::bmNone:
          break;
      }
    }
    if (!FMedia.Empty()) {
      if (mediaRect.Width() == FMedia.Width() && mediaRect.Height() == FMedia.Height()) {
        Draw(FBackBuffer, mediaRect.Left, mediaRect.Top, FMedia);
      } else {
        StretchDrawGraphic(FBackBuffer, mediaRect, FMedia);
      }
    }
  }
  TCanvasLockGuard lock(canvas.Lock());
  canvas.Draw(0, 0, FBackBuffer);
}

}  // namespace tovrin
