#include "platform/win32/win32_screen.h"

#include <utility>

#include "platform/common/desk_monitors.h"
#include "platform/win32/win32_application.h"

namespace tovrin {

namespace {

HCURSOR CursorHandle(TCursor cursor) {
  return LoadCursorA(nullptr, cursor == crHandPoint ? IDC_HAND : IDC_ARROW);
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;  // gone meanwhile: the others still count
  const RECT& r = info.rcMonitor;
  reinterpret_cast<std::vector<TReportedMonitor>*>(data)->push_back(TReportedMonitor{
      TRect{r.left, r.top, r.right, r.bottom}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

}  // namespace

std::vector<TMonitor> ReadDeskMonitors() {
  std::vector<TReportedMonitor> reported;
  if (!EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&reported))) {
    reported.clear();
  }
  return DeskMonitors(reported,
                      TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

TWin32Screen::TWin32Screen(TWin32Application& application, TMonitorReader readMonitors)
    : FApplication(application), FReadMonitors(std::move(readMonitors)) {
  FApplication.OnDisplayChange = [this] { DisplayChanged(); };
}

TWin32Screen::~TWin32Screen() {
  FApplication.OnDisplayChange = nullptr;
}

void TWin32Screen::SetOnMonitorsChanged(std::function<void()> handler) {
  FOnMonitorsChanged = std::move(handler);
  FKnownMonitors = FOnMonitorsChanged ? Monitors() : std::vector<TMonitor>{};
}

void TWin32Screen::DisplayChanged() {
  if (!FOnMonitorsChanged) return;
  std::vector<TMonitor> monitors = Monitors();
  if (monitors == FKnownMonitors) return;
  FKnownMonitors = std::move(monitors);
  // A copy: the handler may replace or remove itself.
  const std::function<void()> handler = FOnMonitorsChanged;
  handler();
}

int32_t TWin32Screen::PixelsPerInch() const {
  HDC dc = GetDC(nullptr);
  if (!dc) return 96;
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi > 0 ? dpi : 96;
}

void TWin32Screen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  // Show the new shape now, as the system would at the next mouse move.
  ::SetCursor(CursorHandle(cursor));
}

bool TWin32Screen::ApplyCursor() const {
  if (FCursor == crDefault) return false;
  ::SetCursor(CursorHandle(FCursor));
  return true;
}

}  // namespace tovrin
