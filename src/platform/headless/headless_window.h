// THeadlessWindow: a form window whose client area is an in-memory screen bitmap.
//
// It keeps what a test needs to see what a user would see: Screen() holds every pixel that
// paints have delivered; Invalidations() records every InvalidateRect call in order (cleared
// only by ClearRecord); PaintCount() counts the paints delivered to controls. Painting happens
// only through Update() (the composer's repaint-now) or PaintNow() (the message loop's paint),
// and always in the calling thread.
//
// As a form it passes input to its TFormEvents (a test types keys and moves the mouse with
// KeyDown, MouseMove and MouseDown); Close() queues the close request through the application.
// Form calls are recorded in the log when one is given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "platform/application.h"
#include "platform/common/hosted_controls.h"
#include "platform/form_window.h"

namespace tovrin {

class THeadlessWindow : public TFormWindow {
 public:
  struct TInvalidation {
    TRect Rect;
    bool Erase = false;
    friend bool operator==(const TInvalidation&, const TInvalidation&) = default;
  };

  // A window with a client area of width x height, filled with color.
  THeadlessWindow(int32_t width, int32_t height, TColor color = clBlack);

  int32_t ClientWidth() const override { return FScreen.Width(); }
  int32_t ClientHeight() const override { return FScreen.Height(); }
  TColor Color() const override { return FColor; }
  void InsertControl(THostControl& control) override { FControls.Insert(control); }
  void RemoveControl(THostControl& control) override { FControls.Remove(control); }
  void InvalidateRect(const TRect& rect, bool erase) override;
  void Update() override;

  // Makes the window a form: events receive its input and life-cycle notifications, application
  // carries its close requests, log (optional) records the form calls.
  void SetForm(TFormEvents* events, TApplication* application, std::vector<std::string>* log);

  // TFormWindow
  // The window's address: distinct among the windows alive, never 0.
  TWindowHandle Handle() const override { return reinterpret_cast<TWindowHandle>(this); }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetColor(TColor color) override;
  void SetTopmost() override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void Close() override;
  void ReleaseCapture() override;
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  bool Topmost() const { return FTopmost; }
  // The window becomes active again (back from another window): FormActivate.
  void Activate();
  // A key goes down.
  void KeyDown(uint16_t key, TShiftState shift = 0);

  // Changes the client size (new screen pixels take the window colour) and tells the controls.
  void SetClientSize(int32_t width, int32_t height);
  // Invalidates the whole client area and paints it (what the system does when the window is
  // first shown or uncovered).
  void PaintNow();

  // Mouse input at client coordinates: enter and leave follow the control under the cursor.
  void MouseMove(int32_t x, int32_t y);
  void MouseDown(TMouseButton button, int32_t x, int32_t y);
  void MouseUp(TMouseButton button, int32_t x, int32_t y);

  const TBitmap& Screen() const { return FScreen; }
  TCanvas& WindowCanvas() { return FCanvas; }
  const std::vector<TInvalidation>& Invalidations() const { return FInvalidations; }
  // The part of the client area that is invalid and not yet painted (its bounding box).
  TRect InvalidArea() const { return FInvalid; }
  int PaintCount() const { return FPaintCount; }
  int EraseCount() const { return FEraseCount; }
  void ClearRecord() {
    FInvalidations.clear();
    FPaintCount = 0;
    FEraseCount = 0;
  }

 private:
  // The window's canvas while a paint is delivered: origin at the painted control, clipped to
  // the update area within it.
  class THeadlessCanvas final : public TCanvas {
   public:
    explicit THeadlessCanvas(TBitmap& screen) : FScreen(screen) {}
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override;
    TRect ClipRect() const override;
    void SetView(int32_t originX, int32_t originY, const TRect& clip) {
      FOriginX = originX;
      FOriginY = originY;
      FClip = clip;
    }

   private:
    TBitmap& FScreen;
    int32_t FOriginX = 0;
    int32_t FOriginY = 0;
    TRect FClip;  // screen coordinates
  };

  void Record(const std::string& call);

  TBitmap FScreen;
  TColor FColor;
  THeadlessCanvas FCanvas{FScreen};
  THostedControls FControls;
  TRect FInvalid;
  bool FEraseInvalid = false;
  std::vector<TInvalidation> FInvalidations;
  int FPaintCount = 0;
  int FEraseCount = 0;
  TFormEvents* FEvents = nullptr;
  TApplication* FApplication = nullptr;
  std::vector<std::string>* FLog = nullptr;
  int32_t FLeft = 0;
  int32_t FTop = 0;
  bool FVisible = false;
  bool FTopmost = false;
};

}  // namespace tovrin
