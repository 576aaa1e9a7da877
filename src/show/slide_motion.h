// TSlideMotion: moves the shown picture slowly during its hold (lMotion), on every monitor.
//
// Per slide, before its transition, Prepare scales the picture once for each screen size to its
// motion source and lays out its path (motion_path.h), drawing the path's random part once from
// the process generator. FirstFrame gives the frame the transition leads to: the path's start.
// When the transition has ended, StartHold runs a timer of the application every kFrameMs (25
// frames a second): each tick resamples the framing of the moment into each picture control's
// shown frame, in place (TCustomPicShow::RedrawMedia), draws the caption over it and presents it,
// the same way a transition's frames are presented. So what the next transition starts from is
// the moved frame on screen. The timer stops at the end of the path, or at Stop.
//
// A frame allocates nothing: the sources are prepared off the frame loop, and the resampler keeps
// its tables. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/region_resample.h"
#include "package/image.h"
#include "picshow/custom_pic_show.h"
#include "platform/application.h"
#include "platform/timer.h"
#include "show/handler_guard.h"
#include "show/motion_path.h"

namespace tovrin {

class TSlideMotion {
 public:
  static constexpr uint32_t kFrameMs = 40;

  struct TContext {
    TApplication& Application;  // the frame timer and the clock
    TCustomPicShow& Pictures;   // the show's picture control: the first size
    // The other monitors' picture controls, in the order of the later sizes. May be empty.
    std::function<std::vector<TCustomPicShow*>()> Followers;
    THandlerGuard Guard;  // runs the frame timer's handler
  };

  explicit TSlideMotion(TContext context);
  TSlideMotion(const TSlideMotion&) = delete;
  TSlideMotion& operator=(const TSlideMotion&) = delete;

  // Prepares the motion of picture (a decoded or decodable JPEG) for frames of sizes, the show's
  // screen first: with stretch the picture is stretched to each size, else scaled to cover it.
  // caption draws the slide's caption over a frame (empty for none). Stops any motion still
  // running. Decoder errors pass to the caller, leaving no slide prepared.
  void Prepare(const TJPEGImage& picture, const std::vector<TPoint>& sizes, bool stretch,
               std::function<void(TBitmap&)> caption);
  // Whether a slide is prepared (Prepare succeeded since the last Forget).
  bool Prepared() const { return !FViews.empty(); }
  // The frame of sizes[i] at the start of the path, caption included.
  TBitmap FirstFrame(size_t i);
  // The slide's transition has ended: the path runs over the next durationMs from now (none
  // for 0).
  void StartHold(uint32_t durationMs);
  // No more frames come (the next picture is on its way, or the show ends).
  void Stop();
  // Drops the prepared slide (a picture without motion is shown).
  void Forget();

  bool Moving() const { return FTimer.Enabled(); }
  // The path of sizes[i], for tests and tools.
  const TMotionPath& Path(size_t i) const { return FViews.at(i).Path; }

 private:
  struct TView {
    TPoint Size;
    TBitmap Source;
    TMotionPath Path;
  };

  // The frame timer's tick: every control moves to the framing of this moment.
  void Frame();
  // Draws view's framing into frame, and the caption over it.
  void DrawView(const TView& view, const TFixedRect& framing, TBitmap& frame);

  TApplication& FApplication;
  TCustomPicShow& FPShow;
  const std::function<std::vector<TCustomPicShow*>()> FFollowers;
  const THandlerGuard FGuard;

  std::vector<TView> FViews;
  std::function<void(TBitmap&)> FCaption;
  TRegionResampler FResampler;
  TTimer FTimer;
  uint32_t FHoldStart = 0;
  uint32_t FDuration = 0;
  // What the frame being presented draws, and the callbacks of every tick, made once.
  const TView* FDrawing = nullptr;
  TFixedRect FDrawingFraming;
  const std::function<void(TBitmap&)> FDrawCurrent;
  const std::function<void()> FGuardedFrame;
};

}  // namespace tovrin
