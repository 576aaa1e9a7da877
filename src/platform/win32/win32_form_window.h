// TWin32FormWindow: the show's form as a Win32 window: borderless (WS_POPUP), owned by the
// application's hidden window (so it has no task-bar button), hosting the windowless controls.
//
// Paints: WM_PAINT takes the update region's rectangles and hands each control that touches
// them a TWin32Canvas clipped to them; InvalidateRect and Update are the system's own. The
// background is erased (in the window's colour) only where no control answers for it.
// Activation: FormActivate on WM_ACTIVATE, never nested: an activation that comes while
// FormActivate runs (a modal window it opened has closed) is delivered once it has returned.
// Input: keys (also system keys, which are not passed on: Alt+F4 must not close the show past
// its password check) go to FormKeyDown; mouse input goes to the control under the cursor, or to
// the form when there is none; WM_CLOSE to FormCloseRequest. All of it runs through the
// application's Guard. The object may be destroyed from inside one of its own event handlers.
#pragma once

#include "platform/win32/win32_api.h"

#include <vector>

#include "platform/common/activation_guard.h"
#include "platform/common/hosted_controls.h"
#include "platform/form_window.h"
#include "platform/win32/win32_canvas.h"
#include "platform/win32/win32_window_class.h"

namespace tovrin {

class TWin32Application;
class TWin32Screen;

class TWin32FormWindow final : public TFormWindow {
 public:
  TWin32FormWindow(TWin32Application& application, TWin32Screen& screen, TFormEvents& events);
  ~TWin32FormWindow() override;
  TWin32FormWindow(const TWin32FormWindow&) = delete;
  TWin32FormWindow& operator=(const TWin32FormWindow&) = delete;

  // THostWindow
  int32_t ClientWidth() const override;
  int32_t ClientHeight() const override;
  TColor Color() const override { return FColor; }
  void InsertControl(THostControl& control) override { FControls.Insert(control); }
  void RemoveControl(THostControl& control) override { FControls.Remove(control); }
  void InvalidateRect(const TRect& rect, bool erase) override;
  void Update() override;

  // TFormWindow
  TWindowHandle Handle() const override { return reinterpret_cast<TWindowHandle>(FHandle); }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetColor(TColor color) override;
  void SetTopmost() override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void Close() override;
  void ReleaseCapture() override;

  HWND Hwnd() const { return FHandle; }

 private:
  friend LRESULT CALLBACK GuardedWndProc<TWin32FormWindow>(HWND hwnd, UINT msg, WPARAM wParam,
                                                           LPARAM lParam);
  // Handles msg; returns false when DefWindowProc should.
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // WM_ACTIVATE: FormActivate, never nested in itself.
  void Activated();
  void Paint();
  void EraseBackground(HDC dc);
  void MouseMove(int32_t x, int32_t y);
  void MouseButton(UINT msg, int32_t x, int32_t y);

  TWin32Application& FApplication;
  TWin32Screen& FScreen;
  TFormEvents& FEvents;
  HWND FHandle = nullptr;
  TColor FColor = clBtnFace;
  bool FVisible = false;
  bool FTrackingLeave = false;
  TActivationGuard FActivation;
  THostedControls FControls;
  TWin32Canvas FCanvas;
};

// The shift state of the keyboard now.
TShiftState CurrentShiftState();

}  // namespace tovrin
