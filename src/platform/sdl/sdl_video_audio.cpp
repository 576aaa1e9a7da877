#include "platform/sdl/sdl_video_audio.h"

#include <string>

#include "core/errors.h"
#include "platform/video/video_clip.h"

namespace tovrin {

namespace {
constexpr size_t kFrameBytes = sizeof(int16_t) * TVideoClip::AudioChannels;
}

TSdlVideoAudio::TSdlVideoAudio() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    throw Exception(std::string("No sound device: ") + SDL_GetError());
  }
  SDL_AudioSpec want{};
  want.freq = TVideoClip::AudioRate;
  want.format = AUDIO_S16SYS;
  want.channels = TVideoClip::AudioChannels;
  // 512 frames (11 ms), as the sound player's device: closing waits for a few of them, and a
  // screen-saver host gives the program 100 ms from SIGTERM to its end.
  want.samples = 512;
  SDL_AudioSpec have{};
  FDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (FDevice == 0) {
    const std::string error = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    throw Exception("No sound device: " + error);
  }
}

TSdlVideoAudio::~TSdlVideoAudio() {
  // What is queued is dropped first, so closing waits for no more of it.
  SDL_PauseAudioDevice(FDevice, 1);
  SDL_ClearQueuedAudio(FDevice);
  SDL_CloseAudioDevice(FDevice);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void TSdlVideoAudio::Queue(const int16_t* samples, size_t frames) {
  const size_t bytes = frames * kFrameBytes;
  if (bytes == 0 || bytes > UINT32_MAX) return;
  SDL_QueueAudio(FDevice, samples, static_cast<Uint32>(bytes));
}

uint32_t TSdlVideoAudio::QueuedMs() const {
  const uint64_t bytes = SDL_GetQueuedAudioSize(FDevice);
  return static_cast<uint32_t>(bytes / kFrameBytes * 1000 / TVideoClip::AudioRate);
}

void TSdlVideoAudio::SetPaused(bool paused) {
  SDL_PauseAudioDevice(FDevice, paused ? 1 : 0);
}

void TSdlVideoAudio::Clear() {
  SDL_ClearQueuedAudio(FDevice);
}

}  // namespace tovrin
