#include "platform/headless/headless_window.h"

#include <algorithm>

#include "gfx/draw.h"
#include "gfx/region.h"

namespace tovrin {

THeadlessWindow::THeadlessWindow(int32_t width, int32_t height, TColor color)
    : FScreen(width, height), FColor(color) {
  FScreen.Fill(ColorToRGB(color));
}

void THeadlessWindow::InvalidateRect(const TRect& rect, bool erase) {
  FInvalidations.push_back(TInvalidation{rect, erase});
  const TRect clipped = IntersectRect(rect, FScreen.BoundsRect());
  if (clipped.IsEmpty()) return;
  FInvalid = UnionRect(FInvalid, clipped);
  FEraseInvalid = FEraseInvalid || erase;
}

void THeadlessWindow::Update() {
  if (FInvalid.IsEmpty()) return;
  const TRect update = FInvalid;
  const bool erase = FEraseInvalid;
  // The invalid area is validated before the paint is delivered, as BeginPaint does: whatever a
  // control invalidates while it paints waits for the next paint.
  FInvalid = TRect{};
  FEraseInvalid = false;
  if (erase) {
    ++FEraseCount;
    // The window erases its own background only where no opaque control answers for it.
    TBitmap fill(update.Width(), update.Height());
    fill.Fill(ColorToRGB(FColor));
    Draw(FScreen, update.Left, update.Top, fill);
  }
  FControls.Paint(update, erase, [this](const TRect& bounds, const TRect& clip) -> TCanvas& {
    ++FPaintCount;
    FCanvas.SetView(bounds.Left, bounds.Top, clip);
    return FCanvas;
  });
}

void THeadlessWindow::PaintNow() {
  InvalidateRect(FScreen.BoundsRect(), false);
  Update();
}

void THeadlessWindow::SetClientSize(int32_t width, int32_t height) {
  FScreen.SetSize(width, height, ColorToRGB(FColor));
  FControls.ParentResized();
}

void THeadlessWindow::SetForm(TFormEvents* events, TApplication* application,
                              std::vector<std::string>* log) {
  FEvents = events;
  FApplication = application;
  FLog = log;
}

void THeadlessWindow::Record(const std::string& call) {
  if (FLog) FLog->push_back(call);
}

void THeadlessWindow::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  Record("Window.SetBounds(" + std::to_string(left) + "," + std::to_string(top) + "," +
         std::to_string(width) + "," + std::to_string(height) + ")");
  FLeft = left;
  FTop = top;
  if (width != FScreen.Width() || height != FScreen.Height()) SetClientSize(width, height);
}

void THeadlessWindow::SetColor(TColor color) {
  FColor = color;
}

void THeadlessWindow::SetTopmost() {
  Record("Window.SetTopmost");
  FTopmost = true;
}

void THeadlessWindow::SetVisible(bool visible) {
  if (visible == FVisible) return;
  Record(visible ? "Window.Show" : "Window.Hide");
  FVisible = visible;
  if (!visible) return;
  // What the system does for a window that appears: erase, paint, show, activate.
  InvalidateRect(FScreen.BoundsRect(), true);
  Update();
  if (FEvents) FEvents->FormShow();
  Activate();
}

void THeadlessWindow::Activate() {
  if (FEvents && FVisible) FEvents->FormActivate();
}

void THeadlessWindow::Close() {
  Record("Window.Close");
  if (FApplication && FEvents) {
    TFormEvents* events = FEvents;
    FApplication->Post([events] { events->FormCloseRequest(); });
  }
}

void THeadlessWindow::ReleaseCapture() {
  Record("Window.ReleaseCapture");
}

void THeadlessWindow::KeyDown(uint16_t key, TShiftState shift) {
  if (FEvents) FEvents->FormKeyDown(key, shift);
}

void THeadlessWindow::MouseMove(int32_t x, int32_t y) {
  if (!FControls.MouseMove(x, y) && FEvents) FEvents->FormMouseMove(0, x, y);
}

void THeadlessWindow::MouseDown(TMouseButton button, int32_t x, int32_t y) {
  if (!FControls.MouseDown(button, x, y) && FEvents) FEvents->FormMouseDown(button, 0, x, y);
}

void THeadlessWindow::MouseUp(TMouseButton button, int32_t x, int32_t y) {
  FControls.MouseUp(button, x, y);
}

void THeadlessWindow::THeadlessCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
  const TRect clip = IntersectRect(FClip, FScreen.BoundsRect());
  if (clip.IsEmpty()) return;
  const int32_t sx = FOriginX + x;
  const int32_t sy = FOriginY + y;
  if (clip == FScreen.BoundsRect() && sx == 0 && sy == 0 && bitmap.Width() == FScreen.Width() &&
      bitmap.Height() == FScreen.Height() && bitmap.PixelFormat() == FScreen.PixelFormat()) {
    // A whole-screen image: present it in one block copy.
    FScreen = bitmap;
  } else if (clip == FScreen.BoundsRect()) {
    ::tovrin::Draw(FScreen, sx, sy, bitmap);
  } else {
    DrawClipped(FScreen, sx, sy, bitmap, TRegion::CreateRectRgn(clip));
  }
}

TRect THeadlessWindow::THeadlessCanvas::ClipRect() const {
  TRect r = FClip;
  r.Offset(-FOriginX, -FOriginY);
  return r;
}

}  // namespace tovrin
