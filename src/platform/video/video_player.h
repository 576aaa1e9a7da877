// TVideoPlayer: the movie control for video files, drawn by the engine itself: a windowless
// control over its parent window that shows the frames a TFrameDecoder decodes and paints ahead on
// a thread of its own, and hands each to the parent's paint. The same frame can show on further
// windows (the other monitors), each painted at its own size from the one decoded frame.
//
// Pacing: the clip's clock starts at Play. While the clip's sound plays, the clock is where the
// sound device has got to (what it was given less what it still holds), so the picture keeps to
// the sound whatever the device's pace; without sound it is the tick count. A timer wakes when the
// next frame is due; every frame whose time has come is taken and only the latest is shown, so a
// clip that decodes slower than it plays drops frames rather than slowing down. Behind the clock,
// the decoder leaves out the frames no other frame refers to, and more than MaxBehindMs behind,
// every frame up to the next key frame. The main thread never waits for the decoder while the clock
// is real (keys and signals that end the show are never held up); with TDecodeWait::dwForDueFrames
// it waits for each frame that is due (for a virtual clock, on which decoding takes no time).
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
#include <optional>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "platform/application.h"
#include "platform/host_window.h"
#include "platform/movie_player.h"
#include "platform/timer.h"
#include "platform/video/audio_sink.h"
#include "platform/video/frame_decoder.h"
#include "platform/video/frame_painter.h"
#include "platform/video/video_clip.h"

namespace tovrin {

// Whether the main thread waits for a frame that is due and not yet decoded.
enum class TDecodeWait : uint8_t { dwNever, dwForDueFrames };

class TVideoPlayer final : public TMoviePlayer, public THostControl {
 public:
  // Further behind the clock than this, the decoder goes on from the next key frame.
  static constexpr int64_t MaxBehindMs = 1000;
  // How soon the timer looks again for a frame that was due and not yet decoded.
  static constexpr uint32_t RetryMs = 4;
  // Sound queued further ahead than this waits for the device (a clip whose sound runs ahead of
  // its picture cannot fill memory).
  static constexpr uint32_t MaxQueuedSoundMs = 2000;

  // A control over parent, visible, with no bounds yet; audio may be null (the clip plays silent);
  // mouse receives the mouse input over it.
  TVideoPlayer(TApplication& application, THostWindow& parent, std::unique_ptr<TAudioSink> audio,
               TMovieMouse mouse, TDecodeWait wait = TDecodeWait::dwNever);
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
  void SetMirrors(const std::vector<TMovieMirror>& mirrors) override;

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
  // What the i-th further window shows.
  const TBitmap& MirrorFrame(size_t i) const;
  size_t MirrorCount() const { return FMirrors.size(); }

 private:
  class TMirror;

  // Shows the frames due by now, and sets the timer for the next one.
  void Advance();
  // The clip's clock now: the sound device's position while it plays the clip's sound.
  int64_t ClockMs();
  // Hands the sound decoded so far to the device.
  void QueueSound();
  // Puts frame on screen (its pictures when they are of the sizes shown, else painted here).
  void Show(TDecodedFrame frame);
  // Paints FShown again into every picture (after a change of size).
  void Repaint();
  void Ended();
  std::vector<TPictureSize> Sizes() const;

  TApplication& FApplication;
  THostWindow& FParent;
  std::unique_ptr<TAudioSink> FAudio;
  TMovieMouse FMouse;
  const TDecodeWait FWait;
  TTimer FTimer;
  TRect FBounds;
  bool FVisible = true;
  TBitmap FFrame;
  TFramePainter FPainter;
  std::vector<std::unique_ptr<TMirror>> FMirrors;

  std::string FPath;
  std::unique_ptr<TFrameDecoder> FDecoder;
  std::string FOpenError;
  // The frame on show, for painting it again at other sizes; null when the decoding thread
  // painted it and let it go (the pictures then stay as they are until the next frame).
  TFrameHandle FShown;
  int32_t FShownIndex = 0;
  int64_t FShownMs = 0;
  TPictureSize FShape;                 // the shown clip's picture as displayed
  std::optional<TDecodedFrame> FNext;  // taken from the decoder, not yet due
  int32_t FStreamFrames = 0;           // the frame count the stream gives (0: unknown)
  bool FEnded = false;
  bool FPlaying = false;
  bool FStarted = false;  // the first frame has been painted
  // The clock: FAnchorMs at tick FAnchorTick, running with the tick count from there.
  uint32_t FAnchorTick = 0;
  int64_t FAnchorMs = 0;
  int64_t FPausedMs = 0;  // the clip's time when it was stopped
  // The sound handed to the device: from FSoundStartMs on the clip's clock, FSoundFrames sample
  // frames (those dropped for want of room count too: the device's position passes over them).
  bool FSoundStarted = false;
  int64_t FSoundStartMs = 0;
  int64_t FSoundFrames = 0;
  int32_t FTotal = 0;
  int32_t FCurrent = 0;
  int64_t FDropped = 0;
  int32_t FLastPainted = -1;  // the index of the frame painted last
  int64_t FPainted = 0;
};

}  // namespace tovrin
