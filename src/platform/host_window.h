// A window that hosts windowless controls, and what such a control receives from it.
//
// A windowless control has no window of its own: it draws on its parent's client area through a
// canvas the parent hands it while a paint is delivered, and it asks the parent to invalidate
// rectangles (in the parent's client coordinates). Invalidation never erases by itself; the
// parent delivers the invalid area at its next paint, or at once on Update().
#pragma once

#include <cstdint>

#include "gfx/color.h"
#include "gfx/rect.h"
#include "platform/canvas.h"

namespace tovrin {

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// What the host delivers to a control. All calls arrive in the main thread, except that a back
// end may deliver a paint from elsewhere, which the control then ignores.
class THostControl {
 public:
  virtual ~THostControl() = default;

  // Where the control lies in the parent's client area.
  virtual TRect BoundsRect() const = 0;
  // Paint message: canvas has its origin at the control's top-left corner and is clipped to the
  // part of the invalid area that the control covers.
  virtual void WMPaint(TCanvas& canvas) = 0;
  // Erase-background message: returns true when the background counts as erased.
  virtual bool WMEraseBkgnd() = 0;
  // The parent's client area has changed size (controls aligned to it follow).
  virtual void ParentResized() = 0;
  virtual void MouseEnter() = 0;
  virtual void MouseLeave() = 0;
  // Mouse messages, in the control's client coordinates.
  virtual void MouseDown(TMouseButton button, int32_t x, int32_t y) = 0;
  virtual void MouseMove(int32_t x, int32_t y) = 0;
  virtual void MouseUp(TMouseButton button, int32_t x, int32_t y) = 0;
};

class THostWindow {
 public:
  virtual ~THostWindow() = default;

  virtual int32_t ClientWidth() const = 0;
  virtual int32_t ClientHeight() const = 0;
  // The window's background colour (a control with ParentColor uses it).
  virtual TColor Color() const = 0;

  // Controls register themselves for their life; the window never owns them.
  virtual void InsertControl(THostControl& control) = 0;
  virtual void RemoveControl(THostControl& control) = 0;

  // Adds rect (client coordinates) to the invalid area. erase asks for the background to be
  // erased first at the next paint.
  virtual void InvalidateRect(const TRect& rect, bool erase) = 0;
  // Paints the invalid area now, delivering the paint to the controls it touches, and returns
  // when that is done. Nothing happens when nothing is invalid.
  virtual void Update() = 0;
};

}  // namespace tovrin
