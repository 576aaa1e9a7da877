// TScreen: the primary screen and the mouse cursor.
#pragma once

#include <cstdint>

namespace tovrin {

// Cursor shapes the system names.
enum TCursor : int16_t { crDefault = 0, crHandPoint = -21 };

class TScreen {
 public:
  virtual ~TScreen() = default;
  // Size of the primary screen in pixels.
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
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
