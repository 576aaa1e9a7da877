#include "platform/video/video_player.h"

#include <algorithm>
#include <utility>

#include "core/errors.h"
#include "gfx/stretch.h"

namespace tovrin {

namespace {

// The picture of a clip shown width x height in old, stretched to where it lands in into (for a
// change of size when the decoded frame is no longer held; the next frame paints it properly).
void StretchPicture(const TBitmap& old, const TPictureSize& shape, TBitmap& into) {
  const TRect from = FitRect(shape.Width, shape.Height, old.Width(), old.Height());
  const TRect to = FitRect(shape.Width, shape.Height, into.Width(), into.Height());
  if (from.IsEmpty() || to.IsEmpty()) return;
  StretchCopy(into, to, old, from);
}

}  // namespace

// The movie in a further window: a control over all of its client area, showing its own picture
// of the frame on show.
class TVideoPlayer::TMirror final : public THostControl {
 public:
  TMirror(const TMovieMirror& mirror, bool visible)
      : FWindow(*mirror.Window), FMouse(mirror.Mouse), FVisible(visible) {
    Fit({});
    if (FVisible) FWindow.InsertControl(*this);
  }
  ~TMirror() override {
    if (FVisible) FWindow.RemoveControl(*this);
  }
  TMirror(const TMirror&) = delete;
  TMirror& operator=(const TMirror&) = delete;

  // Follows the window's size, the picture shown (of shape) stretched to it; true when the
  // picture had to be made anew.
  bool Fit(const TPictureSize& shape) {
    const int32_t width = std::max(FWindow.ClientWidth(), 0);
    const int32_t height = std::max(FWindow.ClientHeight(), 0);
    if (FPicture.Width() == width && FPicture.Height() == height) return false;
    const TBitmap old = std::move(FPicture);
    FPicture = TBitmap(width, height);
    StretchPicture(old, shape, FPicture);
    return true;
  }
  void SetVisible(bool visible) {
    if (visible == FVisible) return;
    FVisible = visible;
    if (visible) {
      FWindow.InsertControl(*this);
    } else {
      FWindow.RemoveControl(*this);
    }
    FWindow.InvalidateRect(BoundsRect(), !visible);
  }
  TPictureSize Size() const { return {FPicture.Width(), FPicture.Height()}; }
  TBitmap& Picture() { return FPicture; }
  void Paint(const AVFrame& frame, int32_t rotation) { FPainter.Paint(frame, rotation, FPicture); }
  void Present() {
    if (!FVisible) return;
    FWindow.InvalidateRect(BoundsRect(), false);
    FWindow.Update();
  }

  TRect BoundsRect() const override { return TRect{0, 0, FPicture.Width(), FPicture.Height()}; }
  void WMPaint(TCanvas& canvas) override {
    if (!FPicture.Empty()) canvas.Draw(0, 0, FPicture);
  }
  bool WMEraseBkgnd() override { return true; }
  void ParentResized() override {}
  void MouseEnter() override {}
  void MouseLeave() override {}
  void MouseDown(TMouseButton button, int32_t x, int32_t y) override {
    if (FMouse.Down) FMouse.Down(button, x, y);
  }
  void MouseMove(int32_t x, int32_t y) override {
    if (FMouse.Move) FMouse.Move(x, y);
  }
  void MouseUp(TMouseButton, int32_t, int32_t) override {}

 private:
  THostWindow& FWindow;
  TMovieMouse FMouse;
  bool FVisible;
  TBitmap FPicture;
  TFramePainter FPainter;
};

TVideoPlayer::TVideoPlayer(TApplication& application, THostWindow& parent,
                           std::unique_ptr<TAudioSink> audio, TMovieMouse mouse, TDecodeWait wait)
    : FApplication(application),
      FParent(parent),
      FAudio(std::move(audio)),
      FMouse(std::move(mouse)),
      FWait(wait),
      FTimer(application) {
  FTimer.SetEnabled(false);
  FTimer.SetOnTimer([this] { Advance(); });
  FParent.InsertControl(*this);
}

TVideoPlayer::~TVideoPlayer() {
  FTimer.SetEnabled(false);
  // The decoding thread ends before the rest goes.
  FDecoder.reset();
  FMirrors.clear();
  if (FVisible) FParent.RemoveControl(*this);
}

std::vector<TPictureSize> TVideoPlayer::Sizes() const {
  std::vector<TPictureSize> sizes{{FFrame.Width(), FFrame.Height()}};
  for (const auto& mirror : FMirrors) sizes.push_back(mirror->Size());
  return sizes;
}

void TVideoPlayer::Repaint() {
  if (!FStarted || !FShown || FShown->width <= 0) return;
  const int32_t rotation = FDecoder ? FDecoder->Info().Rotation : 0;
  if (!FFrame.Empty()) FPainter.Paint(*FShown, rotation, FFrame);
  for (const auto& mirror : FMirrors) mirror->Paint(*FShown, rotation);
}

void TVideoPlayer::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  const TRect old = FBounds;
  FBounds = TRect{left, top, left + width, top + height};
  bool repaint = false;
  if (FFrame.Width() != width || FFrame.Height() != height) {
    const TBitmap old = std::move(FFrame);
    FFrame = TBitmap(width, height);
    StretchPicture(old, FShape, FFrame);
    repaint = true;
  }
  // The mirrors' windows may have changed size with the desk too.
  for (const auto& mirror : FMirrors) repaint = mirror->Fit(FShape) || repaint;
  if (repaint) {
    if (FDecoder) FDecoder->SetSizes(Sizes());
    Repaint();
    for (const auto& mirror : FMirrors) mirror->Present();
  }
  if (FVisible) {
    if (old != FBounds) FParent.InvalidateRect(old, true);
    FParent.InvalidateRect(FBounds, false);
  }
}

void TVideoPlayer::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (visible) {
    FParent.InsertControl(*this);
    FParent.InvalidateRect(FBounds, false);
  } else {
    FParent.RemoveControl(*this);
    FParent.InvalidateRect(FBounds, true);
  }
  for (const auto& mirror : FMirrors) mirror->SetVisible(visible);
}

void TVideoPlayer::SetMirrors(const std::vector<TMovieMirror>& mirrors) {
  FMirrors.clear();
  for (const TMovieMirror& mirror : mirrors) {
    if (mirror.Window) FMirrors.push_back(std::make_unique<TMirror>(mirror, FVisible));
  }
  if (FDecoder) FDecoder->SetSizes(Sizes());
  // The frame on show goes on the new windows at once, not with the next frame.
  if (FStarted && FShown && FShown->width > 0) {
    const int32_t rotation = FDecoder ? FDecoder->Info().Rotation : 0;
    for (const auto& mirror : FMirrors) {
      mirror->Paint(*FShown, rotation);
      mirror->Present();
    }
  }
}

const TBitmap& TVideoPlayer::MirrorFrame(size_t i) const {
  return FMirrors.at(i)->Picture();
}

void TVideoPlayer::SetMovie(const std::string& path) {
  // The frame on show stays until the new clip paints its first one.
  FTimer.SetEnabled(false);
  FPlaying = false;
  if (FAudio) FAudio->Clear();
  FDecoder.reset();
  FNext.reset();
  FOpenError.clear();
  FPath = path;
  FEnded = false;
  FStarted = false;
  FPausedMs = 0;
  FShownMs = 0;
  FShownIndex = 0;
  FCurrent = 0;
  FTotal = 0;
  FStreamFrames = 0;
  FDropped = 0;
  FPainted = 0;
  FLastPainted = -1;
  FSoundStarted = false;
  FSoundStartMs = 0;
  FSoundFrames = 0;
  try {
    // Decoding starts now, so that Play finds the first frame ready or nearly.
    FDecoder = std::make_unique<TFrameDecoder>(
        std::make_unique<TVideoClip>(path, FAudio != nullptr), Sizes());
  } catch (const std::exception& e) {
    FOpenError = e.what();
    return;
  }
  FStreamFrames = FDecoder->Info().Frames;
  FTotal = std::max(FStreamFrames, 1);
}

void TVideoPlayer::Play() {
  if (!FDecoder) throw Exception(FOpenError.empty() ? "No movie loaded" : FOpenError);
  if (FPlaying || FEnded) return;
  if (!FStarted) {
    // The first frame goes on screen now, before anything else of the clip's runs: this is the
    // one wait for the decoder on a real clock.
    std::optional<TDecodedFrame> first = FDecoder->Take(true);
    if (!first) {
      Ended();
      throw Exception("Cannot play movie " + FPath + ": no picture could be decoded");
    }
    FPausedMs = first->Ms;
    Show(std::move(*first));
    FStarted = true;
  }
  FAnchorTick = FApplication.TickCount();
  FAnchorMs = FPausedMs;
  FPlaying = true;
  if (FAudio) {
    QueueSound();
    FAudio->SetPaused(false);
  }
  Advance();
}

void TVideoPlayer::Stop() {
  if (!FPlaying) return;
  FPausedMs = ClockMs();
  FPlaying = false;
  FTimer.SetEnabled(false);
  if (FAudio) FAudio->SetPaused(true);
}

void TVideoPlayer::QueueSound() {
  if (!FAudio || !FDecoder) return;
  for (TDecodedSound& sound : FDecoder->TakeSound()) {
    const size_t frames = sound.Samples.size() / TVideoClip::AudioChannels;
    if (!FSoundStarted) {
      FSoundStarted = true;
      FSoundStartMs = sound.Ms;
    }
    // Sound far ahead of the device waits no longer: it is dropped (a clip whose sound runs
    // ahead of its picture cannot fill memory).
    if (FAudio->QueuedMs() < MaxQueuedSoundMs) FAudio->Queue(sound.Samples.data(), frames);
    FSoundFrames += static_cast<int64_t>(frames);
  }
}

int64_t TVideoPlayer::ClockMs() {
  const uint32_t now = FApplication.TickCount();
  if (FSoundStarted) {
    const uint32_t queued = FAudio->QueuedMs();
    if (queued > 0) {
      // The device is playing the clip's sound: its position is the clock, and the tick count
      // goes on from there when the sound ends or the device runs dry.
      FAnchorTick = now;
      FAnchorMs = FSoundStartMs + FSoundFrames * 1000 / TVideoClip::AudioRate - queued;
      return FAnchorMs;
    }
  }
  return FAnchorMs + static_cast<uint32_t>(now - FAnchorTick);
}

void TVideoPlayer::Advance() {
  if (!FPlaying) return;
  try {
    QueueSound();
    const int64_t clock = ClockMs();
    FDecoder->SetClock(clock);
    std::optional<TDecodedFrame> due;
    bool waiting = false;  // the next frame is not decoded yet
    for (;;) {
      if (!FNext) FNext = FDecoder->Take(FWait == TDecodeWait::dwForDueFrames);
      if (!FNext) {
        if (FDecoder->Ended()) {
          if (due) Show(std::move(*due));
          Ended();
          return;
        }
        waiting = true;
        break;
      }
      if (FNext->Ms > clock) break;
      // A frame overtaken by a later one is not shown: its pictures go back.
      if (due) FDecoder->Recycle(std::move(due->Pictures));
      due = std::move(FNext);
      FNext.reset();
    }
    const int32_t before = FShownIndex;
    if (due) Show(std::move(*due));
    // Behind the clock, the decoder leaves out frames until it has caught up: more than a frame
    // was due at once, or the one due was not ready.
    const int64_t lag = clock - (FNext ? FNext->Ms : FShownMs);
    const bool behind = FShownIndex > before + 1 || (waiting && lag > FDecoder->FrameStepMs());
    const TVideoClip::TSkip skip = !behind             ? TVideoClip::TSkip::skNone
                                   : lag > MaxBehindMs ? TVideoClip::TSkip::skToKeyFrame
                                                       : TVideoClip::TSkip::skNonReference;
    // Told every time: the decoder ends a skip to the key frame by itself.
    FDecoder->SetSkip(skip);
    // Until the end is known, the count never says that the clip is at its last frame.
    FTotal = std::max(FStreamFrames, FCurrent + 2);
    const int64_t wait = waiting ? RetryMs : std::clamp<int64_t>(FNext->Ms - clock, 1, 100);
    FTimer.SetInterval(static_cast<uint32_t>(wait));
    FTimer.SetEnabled(true);
  } catch (const std::exception&) {
    // A frame that cannot be held (out of memory): the clip ends here.
    Ended();
  }
}

void TVideoPlayer::Ended() {
  FEnded = true;
  FPlaying = false;
  FTimer.SetEnabled(false);
  FTotal = FCurrent + 1;
}

void TVideoPlayer::Show(TDecodedFrame frame) {
  FCurrent = frame.Index;
  FShownIndex = frame.Index;
  FShownMs = frame.Ms;
  if (FDecoder) FShape = {FDecoder->Info().Width, FDecoder->Info().Height};
  // The frames between the one painted before and this one are dropped.
  if (FLastPainted >= 0) FDropped += std::max(0, FCurrent - FLastPainted - 1);
  FLastPainted = FCurrent;
  // Kept only when the decoding thread did not paint the frame at the sizes shown.
  FShown = std::move(frame.Frame);
  const std::vector<TPictureSize> sizes = Sizes();
  if (frame.Sizes == sizes) {
    // Painted by the decoding thread at the sizes shown: only a swap here.
    std::swap(FFrame, frame.Pictures[0]);
    for (size_t i = 0; i < FMirrors.size(); ++i) {
      std::swap(FMirrors[i]->Picture(), frame.Pictures[i + 1]);
    }
    // The pictures shown before are painted over by later frames.
    if (FDecoder) FDecoder->Recycle(std::move(frame.Pictures));
  } else {
    const int32_t rotation = FDecoder ? FDecoder->Info().Rotation : 0;
    // Painted at sizes no longer shown (they changed meanwhile), and the frame not kept: the
    // frame before stays until the next one.
    if (!FShown) return;
    if (!FFrame.Empty() && !FPainter.Paint(*FShown, rotation, FFrame)) return;
    for (const auto& mirror : FMirrors) mirror->Paint(*FShown, rotation);
  }
  if (FFrame.Empty()) return;
  FPainted += 1;
  if (!FVisible) return;
  FParent.InvalidateRect(FBounds, false);
  FParent.Update();
  for (const auto& mirror : FMirrors) mirror->Present();
}

void TVideoPlayer::WMPaint(TCanvas& canvas) {
  if (!FFrame.Empty()) canvas.Draw(0, 0, FFrame);
}

void TVideoPlayer::MouseDown(TMouseButton button, int32_t x, int32_t y) {
  if (FMouse.Down) FMouse.Down(button, x + FBounds.Left, y + FBounds.Top);
}

void TVideoPlayer::MouseMove(int32_t x, int32_t y) {
  if (FMouse.Move) FMouse.Move(x + FBounds.Left, y + FBounds.Top);
}

}  // namespace tovrin
