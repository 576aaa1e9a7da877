// THostedControls: the windowless controls a window hosts, and the delivery to them of mouse
// input, size changes and paints. Portable, so that every back end's form window keeps this
// bookkeeping once and routes input the same way.
//
// The list is in z-order, the last inserted control on top; the window never owns a control.
// Paints and size changes go over a copy of the list, and the control under the mouse is updated
// before it hears of the change, so a control may insert or remove controls (itself included)
// while it is called. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gfx/rect.h"
#include "platform/canvas.h"
#include "platform/host_window.h"

namespace tovrin {

class THostedControls {
 public:
  // Adds control on top; nothing when it is in the list already.
  void Insert(THostControl& control);
  // Takes control out of the list; it stops being the control under the mouse.
  void Remove(THostControl& control);
  // Bottom first.
  const std::vector<THostControl*>& List() const { return FControls; }
  // The topmost control whose bounds hold (x, y), in client coordinates; nullptr when none does.
  THostControl* ControlAt(int32_t x, int32_t y) const;

  // Mouse input at client coordinates. Each returns true when a control received it, false when
  // no control lies there and the input belongs to the window (its form) itself.
  // A move also sends MouseLeave to the control the mouse was over and MouseEnter to the one it
  // is over now, when they differ.
  bool MouseMove(int32_t x, int32_t y);
  bool MouseDown(TMouseButton button, int32_t x, int32_t y);
  bool MouseUp(TMouseButton button, int32_t x, int32_t y);
  // The mouse has left the window: the control it was over gets MouseLeave.
  void MouseLeft();

  // The window's client area has changed size: ParentResized to every control.
  void ParentResized();

  // Delivers a paint of update (client coordinates) to every control whose bounds touch it,
  // bottom first: WMEraseBkgnd first when erase is set, then WMPaint on the canvas that canvasFor
  // has set up for the control's bounds and clip (the part of update within them).
  using TCanvasFor = std::function<TCanvas&(const TRect& bounds, const TRect& clip)>;
  void Paint(const TRect& update, bool erase, const TCanvasFor& canvasFor);

 private:
  using TButtonEvent = void (THostControl::*)(TMouseButton, int32_t, int32_t);
  // Sends event to the control under (x, y), in its coordinates; false when there is none.
  bool ButtonEvent(TButtonEvent event, TMouseButton button, int32_t x, int32_t y);

  std::vector<THostControl*> FControls;
  THostControl* FMouseControl = nullptr;
};

}  // namespace tovrin
