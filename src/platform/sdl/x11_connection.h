// TX11Connection: a display connection of our own through XCB, for what SDL does not offer
// about windows of other programs: whether such a window exists and is visible, its place on
// the screen, drawing into it, the root window, the desktop's font resolution, and the desk's
// monitors (SDL reports one display for all the monitors that share an output).
//
// XCB reports a failed request (a window that has gone away) in its reply instead of through
// Xlib's process-wide error handler, which would end the program.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "platform/screen.h"

struct xcb_connection_t;

namespace tovrin {

class TX11Connection {
 public:
  // Connects to $DISPLAY; raises (Exception) when that fails.
  TX11Connection();
  ~TX11Connection();
  TX11Connection(const TX11Connection&) = delete;
  TX11Connection& operator=(const TX11Connection&) = delete;

  uint32_t RootWindow() const { return FRoot; }

  struct TWindowState {
    bool Exists = false;
    bool Viewable = false;  // mapped, and all its ancestors too
    TRect ScreenRect;       // left, top, right and bottom (exclusive) on the screen
  };
  TWindowState WindowState(uint32_t window);
  // Copies bitmap into the window's client area at (x, y), clipped to the window. Nothing
  // happens for a window that does not exist or whose visual is not 24-bit TrueColor.
  void Draw(uint32_t window, int32_t x, int32_t y, const TBitmap& bitmap);
  // The "Xft.dpi" value of the screen's resource database, 0 when it has none.
  int32_t XftDpi();

  // The desk's monitors, primary first, never empty: RandR 1.5's active monitors, else
  // Xinerama's screens, else the root window (MonitorLayout's rules).
  std::vector<TMonitor> Monitors();

  // With on, the server tells this connection when the screen's size or its monitors change;
  // TakeScreenChanges reads those events. Off stops them.
  void WatchScreenChanges(bool on);
  // The connection's descriptor, for a loop to wait on while screen changes are watched.
  int FileDescriptor() const;
  // Reads every event that has arrived (without waiting); true when one of them was a change
  // of the screen or its monitors.
  bool TakeScreenChanges();

 private:
  // The server's RandR version as major * 100 + minor, 0 without RandR; asks once (the
  // question also tells the server which version this client speaks).
  int RandrVersion();

  xcb_connection_t* FConnection = nullptr;
  uint32_t FRoot = 0;
  uint32_t FRootVisual = 0;
  std::optional<int> FRandrVersion;
  // RandR's first event code (0 without RandR).
  uint8_t FRandrFirstEvent = 0;
};

// The "Xft.dpi" value in a resource database's text ("Xft.dpi:\t120\n..."), 0 when absent or
// not a positive number.
int32_t ParseXftDpi(const std::string& resources);

}  // namespace tovrin
