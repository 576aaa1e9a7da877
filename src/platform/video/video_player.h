// TVideoPlayer: the movie control for video files, drawn by the engine itself: a windowless
// control over its parent window that decodes the clip (TVideoClip), paints each frame into its
// own bitmap (TFramePainter) and hands that to the parent's paint.
//
// Pacing: the clip's clock starts at Play. A timer wakes when the next frame is due; every frame
// whose time has come is decoded and only the latest is painted, so a clip that decodes slower
// than it plays drops frames rather than slowing down: the frames whose time has passed are not
// painted, and while it is behind the decoder leaves out the frames no other frame refers to. At
// most MaxFramesPerWake frames, and no more than MaxWakeMs of the clock, are spent decoding on one
// wake, so the message loop (keys and signals ending the show) is never held up for long.
// TotalFrames is the stream's frame count until the end is reached, then the number of frames
// the clip really had, so that CurrentFrame reaches TotalFrames - 1 when the clip has ended.
//
// Between clips the control keeps showing the last frame until the next clip's first frame is
// painted (at Play), so there is no black flash. A clip that cannot be opened makes Play raise
// (Exception naming the file) and leaves the control showing what it showed.
//
// Sound goes to the sink given at creation (none: silent). Main thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "gfx/bitmap.h"
#include "platform/application.h"
#include "platform/host_window.h"
#include "platform/movie_player.h"
#include "platform/timer.h"
#include "platform/video/audio_sink.h"
#include "platform/video/frame_painter.h"
#include "platform/video/video_clip.h"

namespace tovrin {

class TVideoPlayer final : public TMoviePlayer, public THostControl {
 public:
  static constexpr int MaxFramesPerWake = 8;
  static constexpr uint32_t MaxWakeMs = 25;
  // Sound queued further ahead than this waits for the device (a clip whose sound runs ahead of
  // its picture cannot fill memory).
  static constexpr uint32_t MaxQueuedSoundMs = 2000;

  // A control over parent, visible, with no bounds yet; audio may be null (the clip plays silent);
  // mouse receives the mouse input over it.
  TVideoPlayer(TApplication& application, THostWindow& parent, std::unique_ptr<TAudioSink> audio,
               TMovieMouse mouse);
  ~TVideoPlayer() override;
  TVideoPlayer(const TVideoPlayer&) = delete;
  TVideoPlayer& operator=(const TVideoPlayer&) = delete;

  // TMoviePlayer
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void SetMovie(const std::string& path) override;
  int32_t TotalFrames() override { return FTotal; }
  int32_t CurrentFrame() override { return FCurrent; }
  void Play() override;
  void Stop() override;

  // THostControl
  TRect BoundsRect() const override { return FBounds; }
  void WMPaint(TCanvas& canvas) override;
  bool WMEraseBkgnd() override { return true; }
  void ParentResized() override {}
  void MouseEnter() override {}
  void MouseLeave() override {}
  void MouseDown(TMouseButton button, int32_t x, int32_t y) override;
  void MouseMove(int32_t x, int32_t y) override;
  void MouseUp(TMouseButton, int32_t, int32_t) override {}

  // ---- For tests and benchmarks
  // What the control shows (its bounds' size).
  const TBitmap& Frame() const { return FFrame; }
  // Frames never painted since the clip was loaded, because their time had passed (decoded, or
  // left out by the decoder).
  int64_t DroppedFrames() const { return FDropped; }
  // Frames painted since the clip was loaded.
  int64_t PaintedFrames() const { return FPainted; }

 private:
  // Decodes the frames due by now, paints the latest, and sets the timer for the next one.
  void Advance();
  // Decodes the frame after the one shown into FNext; false at the end of the clip.
  bool DecodeNext();
  void PaintFrame(const AVFrame& frame);
  void Ended();

  TApplication& FApplication;
  THostWindow& FParent;
  std::unique_ptr<TAudioSink> FAudio;
  TMovieMouse FMouse;
  TTimer FTimer;
  TRect FBounds;
  bool FVisible = true;
  TBitmap FFrame;
  TFramePainter FPainter;

  std::string FPath;
  std::unique_ptr<TVideoClip> FClip;
  std::string FOpenError;
  TFrameHandle FShown;  // the frame on show
  TFrameHandle FNext;   // decoded, not yet due
  bool FHaveNext = false;
  int64_t FNextMs = 0;
  int32_t FNextIndex = 0;
  int32_t FDecoded = 0;       // frames decoded since the clip was loaded
  int32_t FStreamFrames = 0;  // the frame count the stream gives (0: unknown)
  bool FEnded = false;
  bool FPlaying = false;
  bool FSkipping = false;   // the decoder leaves out frames nothing refers to
  bool FStarted = false;    // the first frame has been painted
  uint32_t FStartTick = 0;  // the tick count at the clip's time 0
  int64_t FPausedMs = 0;    // the clip's time when it was stopped
  int32_t FTotal = 0;
  int32_t FCurrent = 0;
  int64_t FDropped = 0;
  int32_t FLastPainted = -1;  // the index of the frame painted last
  int64_t FPainted = 0;
};

}  // namespace tovrin
