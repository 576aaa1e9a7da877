// TWin32Screen: the primary screen (GetSystemMetrics), its resolution and the mouse cursor.
//
// The cursor shape is the application's: while it is not crDefault, the back end's windows
// answer WM_SETCURSOR with it (ApplyCursor); otherwise each window shows its own.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/screen.h"

namespace tovrin {

class TWin32Screen final : public TScreen {
 public:
  int32_t Width() const override { return GetSystemMetrics(SM_CXSCREEN); }
  int32_t Height() const override { return GetSystemMetrics(SM_CYSCREEN); }
  std::vector<TMonitor> Monitors() const override {
    return {TMonitor{TRect{0, 0, Width(), Height()}}};
  }
  void SetOnMonitorsChanged(std::function<void()> handler) override {
    FOnMonitorsChanged = std::move(handler);
  }
  int32_t PixelsPerInch() const override;
  void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }
  void SetCursor(TCursor cursor) override;
  TCursor Cursor() const override { return FCursor; }

  // For WM_SETCURSOR: sets the application's cursor shape and returns true, or returns false
  // when the window's own cursor applies.
  bool ApplyCursor() const;

 private:
  TCursor FCursor = crDefault;
  std::function<void()> FOnMonitorsChanged;
};

}  // namespace tovrin
