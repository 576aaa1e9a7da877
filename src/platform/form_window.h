// TFormWindow: a top-level window of the show (the full-screen form) with keyboard and mouse
// input, hosting windowless controls in its client area.
//
// The back end creates it hidden. Input and life-cycle notifications go to the TFormEvents the
// owner gives; all of them arrive in the main thread, from the message loop.
#pragma once

#include <cstdint>

#include "gfx/color.h"
#include "platform/host_window.h"

namespace tovrin {

// A native window handle as a number (an HWND, an X11 window id); 0 is none.
using TWindowHandle = uintptr_t;

// Shift state of a key or mouse event: a set of bits.
using TShiftState = uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;

// Virtual key codes of the keys tests and back ends name; any other key passes its own code.
inline constexpr uint16_t VK_SHIFT = 0x10;
inline constexpr uint16_t VK_ESCAPE = 0x1B;
inline constexpr uint16_t VK_SPACE = 0x20;

class TFormEvents {
 public:
  virtual ~TFormEvents() = default;
  // The window has become visible (once per Show).
  virtual void FormShow() = 0;
  // The window has become the active window (first show, or back from another window).
  virtual void FormActivate() = 0;
  // A key went down, whichever control has the focus (the form previews keys).
  virtual void FormKeyDown(uint16_t key, TShiftState shift) = 0;
  // Mouse input over the form itself (controls get theirs through THostControl).
  virtual void FormMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) = 0;
  virtual void FormMouseMove(TShiftState shift, int32_t x, int32_t y) = 0;
  // A private message of the form's own numbering (WM_USER + n) arrived from another program.
  virtual void FormUserMessage(uint32_t message) = 0;
  // A close request arrived (the user, another program, or Close()): the form's close path.
  virtual void FormCloseRequest() = 0;
};

class TFormWindow : public THostWindow {
 public:
  // The window's native handle (for the password verifier, message boxes, the shell).
  virtual TWindowHandle Handle() const = 0;

  // Position and size of the window in screen pixels; the client area is the whole window (no
  // border). Controls aligned to the client follow.
  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual void SetColor(TColor color) = 0;
  // Keeps the window above all others.
  virtual void SetTopmost() = 0;
  // Makes the window visible and active (FormShow, then FormActivate), or hides it.
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // Queues a close request (FormCloseRequest runs from the message loop), as a WM_CLOSE would.
  virtual void Close() = 0;
  // Gives up a mouse capture the window holds.
  virtual void ReleaseCapture() = 0;
};

}  // namespace tovrin
