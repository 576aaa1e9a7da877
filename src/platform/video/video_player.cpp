#include "platform/video/video_player.h"

#include <algorithm>
#include <utility>

#include "core/errors.h"

namespace tovrin {

TVideoPlayer::TVideoPlayer(TApplication& application, THostWindow& parent,
                           std::unique_ptr<TAudioSink> audio, TMovieMouse mouse)
    : FApplication(application),
      FParent(parent),
      FAudio(std::move(audio)),
      FMouse(std::move(mouse)),
      FTimer(application),
      FShown(Av().av_frame_alloc()),
      FNext(Av().av_frame_alloc()) {
  if (!FShown || !FNext) throw Exception("Out of memory");
  FTimer.SetEnabled(false);
  FTimer.SetOnTimer([this] { Advance(); });
  FParent.InsertControl(*this);
}

TVideoPlayer::~TVideoPlayer() {
  FTimer.SetEnabled(false);
  if (FVisible) FParent.RemoveControl(*this);
}

void TVideoPlayer::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  FBounds = TRect{left, top, left + width, top + height};
  if (FFrame.Width() != width || FFrame.Height() != height) {
    FFrame = TBitmap(width, height);
    FPainter = TFramePainter();
    if (FStarted && FShown->width > 0) {
      FPainter.Paint(*FShown, FClip ? FClip->Info().Rotation : 0, FFrame);
    }
  }
  if (FVisible) FParent.InvalidateRect(FBounds, false);
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
}

void TVideoPlayer::SetMovie(const std::string& path) {
  // The frame on show stays until the new clip paints its first one.
  FTimer.SetEnabled(false);
  FPlaying = false;
  if (FAudio) FAudio->Clear();
  FClip.reset();
  FOpenError.clear();
  FPath = path;
  FHaveNext = false;
  FEnded = false;
  FStarted = false;
  FPausedMs = 0;
  FDecoded = 0;
  FCurrent = 0;
  FTotal = 0;
  FStreamFrames = 0;
  FDropped = 0;
  FPainted = 0;
  FSkipping = false;
  FLastPainted = -1;
  try {
    FClip = std::make_unique<TVideoClip>(path, FAudio != nullptr);
  } catch (const std::exception& e) {
    FOpenError = e.what();
    return;
  }
  if (FAudio) {
    FClip->OnAudio = [this](const int16_t* samples, size_t frames) {
      if (FAudio->QueuedMs() < MaxQueuedSoundMs) FAudio->Queue(samples, frames);
    };
  }
  FStreamFrames = FClip->Info().Frames;
  FTotal = std::max(FStreamFrames, 1);
}

void TVideoPlayer::Play() {
  if (!FClip) throw Exception(FOpenError.empty() ? "No movie loaded" : FOpenError);
  if (FPlaying || FEnded) return;
  if (!FStarted) {
    // The first frame goes on screen now, before anything else of the clip's runs.
    if (!DecodeNext()) {
      Ended();
      throw Exception("Cannot play movie " + FPath + ": no picture could be decoded");
    }
    Av().av_frame_unref(FShown.get());
    Av().av_frame_move_ref(FShown.get(), FNext.get());
    FHaveNext = false;
    FCurrent = FNextIndex;
    FStarted = true;
    FPausedMs = FNextMs;
    PaintFrame(*FShown);
  }
  FStartTick = FApplication.TickCount() - static_cast<uint32_t>(FPausedMs);
  FPlaying = true;
  if (FAudio) FAudio->SetPaused(false);
  Advance();
}

void TVideoPlayer::Stop() {
  if (!FPlaying) return;
  FPausedMs = static_cast<uint32_t>(FApplication.TickCount() - FStartTick);
  FPlaying = false;
  FTimer.SetEnabled(false);
  if (FAudio) FAudio->SetPaused(true);
}

bool TVideoPlayer::DecodeNext() {
  if (FEnded || !FClip) return false;
  if (!FClip->NextFrame(*FNext)) return false;
  FHaveNext = true;
  FNextMs = FClip->FrameMs();
  // Frames the decoder left out still count: the index follows the clock of the stream.
  const int64_t byTime = FClip->FrameIndexAt(FNextMs);
  FNextIndex = static_cast<int32_t>(std::clamp<int64_t>(byTime, FDecoded, INT32_MAX - 2));
  FDecoded = FNextIndex + 1;
  return true;
}

void TVideoPlayer::Advance() {
  if (!FPlaying) return;
  try {
    const uint32_t wake = FApplication.TickCount();
    const int64_t elapsed = static_cast<uint32_t>(wake - FStartTick);
    int consumed = 0;
    bool cut = false;  // the wake ended before catching up
    for (;;) {
      if (consumed == MaxFramesPerWake ||
          (consumed > 0 && FApplication.TickCount() - wake >= MaxWakeMs)) {
        cut = true;
        break;
      }
      if (!FHaveNext && !DecodeNext()) {
        if (consumed > 0) PaintFrame(*FShown);
        Ended();
        return;
      }
      if (FNextMs > elapsed) break;
      Av().av_frame_unref(FShown.get());
      Av().av_frame_move_ref(FShown.get(), FNext.get());
      FHaveNext = false;
      FCurrent = FNextIndex;
      consumed += 1;
    }
    if (consumed > 0) PaintFrame(*FShown);
    // Behind the clock, the frames nothing refers to are left out until it has caught up.
    const bool behind = cut || consumed > 1;
    if (behind != FSkipping) {
      FSkipping = behind;
      FClip->SetSkipNonReference(behind);
    }
    // Until the end is known, the count never says that the clip is at its last frame.
    FTotal = std::max(FStreamFrames, FCurrent + 2);
    // Wake when the next frame is due; at once when this wake could not catch up.
    const int64_t wait = cut ? 1 : std::clamp<int64_t>(FNextMs - elapsed, 1, 100);
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

void TVideoPlayer::PaintFrame(const AVFrame& frame) {
  // The frames between the one painted before and this one are dropped.
  if (FLastPainted >= 0) FDropped += std::max(0, FCurrent - FLastPainted - 1);
  FLastPainted = FCurrent;
  if (FFrame.Empty()) return;
  if (!FPainter.Paint(frame, FClip ? FClip->Info().Rotation : 0, FFrame)) return;
  FPainted += 1;
  if (!FVisible) return;
  FParent.InvalidateRect(FBounds, false);
  FParent.Update();
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
