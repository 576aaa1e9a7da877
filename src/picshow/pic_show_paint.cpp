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
#include <algorithm>
#include <cstring>
#include <utility>

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

// Fills rect (clipped to b) of a 24-bit bitmap with color: one row is built, then copied.
void FillRect(TBitmap& b, TRect rect, TColor color) {
  rect = IntersectRect(rect, b.BoundsRect());
  if (rect.IsEmpty() || b.PixelFormat() != TPixelFormat::pf24bit) return;
  const uint8_t pixel[3] = {GetBValue(color), GetGValue(color), GetRValue(color)};
  uint8_t* first = b.ScanLine(rect.Top) + static_cast<size_t>(rect.Left) * 3;
  const size_t bytes = static_cast<size_t>(rect.Width()) * 3;
  for (size_t i = 0; i < bytes; ++i) first[i] = pixel[i % 3];
  for (int32_t y = rect.Top + 1; y < rect.Bottom; ++y) {
    std::memcpy(b.ScanLine(y) + static_cast<size_t>(rect.Left) * 3, first, bytes);
  }
}

// Fills what of the client area Media leaves uncovered: at most four strips around it.
void FillAround(TBitmap& b, const TRect& media, TColor color) {
  const TRect client = b.BoundsRect();
  const TRect inner = IntersectRect(media, client);
  if (inner.IsEmpty()) {
    FillRect(b, client, color);
    return;
  }
  FillRect(b, TRect{0, 0, client.Right, inner.Top}, color);
  FillRect(b, TRect{0, inner.Bottom, client.Right, client.Bottom}, color);
  FillRect(b, TRect{0, inner.Top, inner.Left, inner.Bottom}, color);
  FillRect(b, TRect{inner.Right, inner.Top, client.Right, inner.Bottom}, color);
}

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

void TCustomPicShow::SyncBackBuffer() const {
  if (!FBackBufferIsMedia) return;
  FBackBufferIsMedia = false;
  FBackBuffer = FMedia;
}

void TCustomPicShow::SyncBackBufferBeforeOverwritingMedia() {
  if (!FBackBufferIsMedia) return;
  FBackBufferIsMedia = false;
  if (FBackBuffer.Width() == FMedia.Width() && FBackBuffer.Height() == FMedia.Height() &&
      FBackBuffer.PixelFormat() == FMedia.PixelFormat()) {
    // Media's pixels become BackBuffer's; Media gets storage of its own size back, whose
    // content the caller is about to replace.
    std::swap(FBackBuffer, FMedia);
  } else {
    FBackBuffer = FMedia;
  }
}

void TCustomPicShow::Paint(TCanvas& canvas) {
  const TRect client = ClientRect();
  const bool hasBackground = FBgMode != TBackgroundMode::bmNone && FBgPicture.HasGraphic();
  const TRect mediaRect = MediaPaintRect();
  TCanvasLockGuard lock(FBackBufferLock);
  if (!hasBackground && !FMedia.Empty() && mediaRect == client && FMedia.Width() == FWidth &&
      FMedia.Height() == FHeight && FMedia.PixelFormat() == TPixelFormat::pf24bit) {
    // The client image is Media as it stands: present it directly and let BackBuffer stand for
    // it until Media changes.
    FBackBufferIsMedia = true;
    TCanvasLockGuard canvasLock(canvas.Lock());
    canvas.Draw(0, 0, FMedia);
    return;
  }
  FBackBufferIsMedia = false;
  if (FBackBuffer.Width() != FWidth || FBackBuffer.Height() != FHeight) {
    FBackBuffer.SetSize(FWidth, FHeight);
  }
  // The colour goes only where nothing else will be drawn.
  if (hasBackground || FMedia.Empty()) {
    FBackBuffer.Fill(ColorToRGB(Color()));
  } else if (!Covers(mediaRect, client)) {
    FillAround(FBackBuffer, mediaRect, ColorToRGB(Color()));
  }
  if (hasBackground) {
    const TBitmap& bg = FBgPicture.Graphic()->Bitmap();
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
  TCanvasLockGuard canvasLock(canvas.Lock());
  canvas.Draw(0, 0, FBackBuffer);
}

}  // namespace tovrin
