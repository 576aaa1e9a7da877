// ComposeFrame: one frame of a transition, as a plain function of its inputs.
//
// The picture control, the off-screen renderer and the benchmarks all compose through this one
// function. Each call, in this order:
//   1. draws OldPic over Media at (0,0)            (no frame depends on the one before it)
//   2. Hooks.BeforeNewFrame(NewPic, Media)
//   3. takes W, H from NewPic and computes the extents X, Y, S
//   4. returns at once if Style > 127               (nothing invalidated, no further hook)
//   5. runs the style (a row of the style table, see style_table.h)
//   6. finishing step: at Progress 100 NewPic whole over Media; else, above 0, the style's last
//      piece (rectangle styles) or NewPic through the style's region (region styles)
//   7. Invalidate(dest) ... Hooks.AfterNewFrame(NewPic, Media) ... Hooks.Update()
// Style 0 is the cut: Hooks.CustomDraw draws the frame when present; otherwise NewPic is drawn
// whole and Progress jumps to the end value of the run's direction (see cut_drawing.cpp).
//
// Preconditions: OldPic, NewPic and Media are pf24bit and of one size. A hook may raise; the
// error leaves the call at that point and goes to the caller.
#pragma once

#include <cstdint>
#include <functional>

#include "core/random.h"
#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin {

struct TComposeHooks {
  // The control passes itself as Sender inside these; Picture is NewPic, Screen is Media.
  using TDrawHook = std::function<void(TBitmap& picture, TBitmap& screen)>;
  TDrawHook BeforeNewFrame;
  TDrawHook CustomDraw;
  TDrawHook AfterNewFrame;
  // Marks a rectangle of Media (Media coordinates) as changed on the screen. Required.
  std::function<void(const TRect&)> Invalidate;
  // Repaints the invalid area now; left empty while the caller is painting.
  std::function<void()> Update;
};

struct TComposeFrameArgs {
  const TBitmap& OldPic;
  TBitmap& NewPic;  // a hook may change it
  TBitmap& Media;
  uint8_t Style = 0;
  // The frame's progress, 0..100. Style 0 without a CustomDraw hook writes the run's end value.
  uint8_t& Progress;
  uint16_t Step = 4;
  // The direction of the run (only style 0 without a hook needs it).
  bool Reverse = false;
  TRandom& Random;
  const TComposeHooks& Hooks;
};

void ComposeFrame(const TComposeFrameArgs& args);

}  // namespace tovrin
