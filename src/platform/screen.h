// TScreen: the desk's monitors, the primary screen and the mouse cursor.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gfx/rect.h"

namespace tovrin {

// Cursor shapes the system names.
enum TCursor : int16_t { crDefault = 0, crHandPoint = -21 };

// One monitor of the desk: its area in desktop pixels (physical pixels; a monitor left of or
// above the primary one has negative coordinates).
struct TMonitor {
  TRect Bounds;
  friend bool operator==(const TMonitor&, const TMonitor&) = default;
};

class TScreen {
 public:
  virtual ~TScreen() = default;
  // Size of the primary screen in pixels (the first of Monitors()).
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  // The desk's monitors, the primary one first; never empty (a desk whose monitors cannot be
  // read is one monitor of the primary screen's size at 0, 0).
  virtual std::vector<TMonitor> Monitors() const = 0;
  // handler runs from the message loop after the monitors have changed (one added or removed, a
  // new resolution or arrangement); nullptr stops the notifications.
  virtual void SetOnMonitorsChanged(std::function<void()> handler) = 0;
  // Logical pixels per inch of the screen (96 at 100 %).
  virtual int32_t PixelsPerInch() const = 0;
  // Shows or hides the cursor; calls count up and down as the system's display counter does
  // (visible while the count is 0 or more; it starts at 0).
  virtual void ShowCursor(bool show) = 0;
  // The cursor shape shown over the application's windows.
  virtual void SetCursor(TCursor cursor) = 0;
  virtual TCursor Cursor() const = 0;
};

}  // namespace tovrin
