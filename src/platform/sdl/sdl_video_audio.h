// TSdlVideoAudio: the video player's sound on an SDL audio device of its own, fed by queueing
// (SDL_QueueAudio), so no callback of ours runs on SDL's audio thread.
#pragma once

#include <SDL.h>

#include "platform/video/audio_sink.h"

namespace tovrin {

class TSdlVideoAudio final : public TAudioSink {
 public:
  // Opens the default output device, paused; raises (Exception) when there is none.
  TSdlVideoAudio();
  ~TSdlVideoAudio() override;
  TSdlVideoAudio(const TSdlVideoAudio&) = delete;
  TSdlVideoAudio& operator=(const TSdlVideoAudio&) = delete;

  void Queue(const int16_t* samples, size_t frames) override;
  uint32_t QueuedMs() const override;
  void SetPaused(bool paused) override;
  void Clear() override;

 private:
  SDL_AudioDeviceID FDevice = 0;
};

}  // namespace tovrin
