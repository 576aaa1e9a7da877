#include "platform/common/hosted_controls.h"

#include <algorithm>

namespace tovrin {

namespace {

bool ContainsPoint(const TRect& r, int32_t x, int32_t y) {
  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

}  // namespace

void THostedControls::Insert(THostControl& control) {
  if (std::find(FControls.begin(), FControls.end(), &control) == FControls.end()) {
    FControls.push_back(&control);
  }
}

void THostedControls::Remove(THostControl& control) {
  std::erase(FControls, &control);
  if (FMouseControl == &control) FMouseControl = nullptr;
}

THostControl* THostedControls::ControlAt(int32_t x, int32_t y) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    if (ContainsPoint((*it)->BoundsRect(), x, y)) return *it;
  }
  return nullptr;
}

bool THostedControls::MouseMove(int32_t x, int32_t y) {
  THostControl* under = ControlAt(x, y);
  if (under != FMouseControl) {
    // Recorded first: a leave or enter handler that removes a control finds the record current.
    THostControl* left = FMouseControl;
    FMouseControl = under;
    if (left) left->MouseLeave();
    if (under) under->MouseEnter();
  }
  if (!under) return false;
  const TRect b = under->BoundsRect();
  under->MouseMove(x - b.Left, y - b.Top);
  return true;
}

bool THostedControls::MouseDown(TMouseButton button, int32_t x, int32_t y) {
  return ButtonEvent(&THostControl::MouseDown, button, x, y);
}

bool THostedControls::MouseUp(TMouseButton button, int32_t x, int32_t y) {
  return ButtonEvent(&THostControl::MouseUp, button, x, y);
}

bool THostedControls::ButtonEvent(TButtonEvent event, TMouseButton button, int32_t x, int32_t y) {
  THostControl* under = ControlAt(x, y);
  if (!under) return false;
  const TRect b = under->BoundsRect();
  (under->*event)(button, x - b.Left, y - b.Top);
  return true;
}

void THostedControls::MouseLeft() {
  if (!FMouseControl) return;
  THostControl* left = FMouseControl;
  FMouseControl = nullptr;
  left->MouseLeave();
}

void THostedControls::ParentResized() {
  const std::vector<THostControl*> controls = FControls;
  for (THostControl* control : controls) control->ParentResized();
}

void THostedControls::Paint(const TRect& update, bool erase, const TCanvasFor& canvasFor) {
  const std::vector<THostControl*> controls = FControls;
  for (THostControl* control : controls) {
    const TRect bounds = control->BoundsRect();
    const TRect clip = IntersectRect(bounds, update);
    if (clip.IsEmpty()) continue;
    if (erase) control->WMEraseBkgnd();
    control->WMPaint(canvasFor(bounds, clip));
  }
}

}  // namespace tovrin
