// TWin32Screen: the desk's monitors (EnumDisplayMonitors), the primary screen (GetSystemMetrics),
// its resolution and the mouse cursor.
//
// Monitors are in physical pixels: the engine's manifest declares the process per-monitor DPI
// aware, so the system reports the monitors' real areas, not areas scaled to one system DPI.
// Changes: the application reports display changes from the message loop (OnDisplayChange, once
// for a burst of WM_DISPLAYCHANGE, work-area and DPI messages); the screen then reads the
// monitors again and calls the handler only when they differ from the ones it knew, so one change
// is announced once and a message that changed nothing (a new work area) not at all.
//
// The cursor shape is the application's: while it is not crDefault, the back end's windows
// answer WM_SETCURSOR with it (ApplyCursor); otherwise each window shows its own.
#pragma once

#include "platform/win32/win32_api.h"

#include <functional>
#include <vector>

#include "platform/screen.h"

namespace tovrin {

class TWin32Application;

// The desk's monitors as the system lists them now (DeskMonitors of EnumDisplayMonitors'
// report; the primary screen when the enumeration fails).
std::vector<TMonitor> ReadDeskMonitors();

class TWin32Screen final : public TScreen {
 public:
  using TMonitorReader = std::function<std::vector<TMonitor>()>;

  // Takes the application's OnDisplayChange until destroyed. readMonitors lists the monitors
  // (a test gives a desk of its own).
  explicit TWin32Screen(TWin32Application& application,
                        TMonitorReader readMonitors = ReadDeskMonitors);
  ~TWin32Screen() override;
  TWin32Screen(const TWin32Screen&) = delete;
  TWin32Screen& operator=(const TWin32Screen&) = delete;

  int32_t Width() const override { return GetSystemMetrics(SM_CXSCREEN); }
  int32_t Height() const override { return GetSystemMetrics(SM_CYSCREEN); }
  std::vector<TMonitor> Monitors() const override { return FReadMonitors(); }
  void SetOnMonitorsChanged(std::function<void()> handler) override;
  int32_t PixelsPerInch() const override;
  void ShowCursor(bool show) override { ::ShowCursor(show ? TRUE : FALSE); }
  void SetCursor(TCursor cursor) override;
  TCursor Cursor() const override { return FCursor; }

  // For WM_SETCURSOR: sets the application's cursor shape and returns true, or returns false
  // when the window's own cursor applies.
  bool ApplyCursor() const;

 private:
  // The application's OnDisplayChange: the handler when the monitors are not the known ones.
  void DisplayChanged();

  TWin32Application& FApplication;
  TMonitorReader FReadMonitors;
  TCursor FCursor = crDefault;
  std::function<void()> FOnMonitorsChanged;
  // The monitors as last announced (or as they were when the handler was set).
  std::vector<TMonitor> FKnownMonitors;
};

}  // namespace tovrin
