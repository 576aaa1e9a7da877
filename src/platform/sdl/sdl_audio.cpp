#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <functional>
#include <mutex>
#include <string>

#include "core/errors.h"
#include "platform/sdl/sdl_mixer_library.h"

namespace tovrin {

namespace {

// SDL_mixer has one music stream per process and reports its end through a callback without
// a context pointer; this is the one place that links the callback to the player using it.
struct TMusicFinishedRelay {
  std::mutex Mutex;
  std::function<void()> Target;
};

TMusicFinishedRelay& Relay() {
  static TMusicFinishedRelay relay;
  return relay;
}

// Audio thread (or the thread that halts the music).
void MusicFinished() {
  TMusicFinishedRelay& relay = Relay();
  std::lock_guard lock(relay.Mutex);
  if (relay.Target) relay.Target();
}

}  // namespace

TSdlMediaPlayer::TSdlMediaPlayer(TApplication& application, bool soundEnabled)
    : FApplication(application), FSoundEnabled(soundEnabled) {}

TSdlMediaPlayer::~TSdlMediaPlayer() {
  *FAlive = false;
  if (!FDeviceOpen) return;
  {
    std::lock_guard lock(Relay().Mutex);
    Relay().Target = nullptr;
  }
  FPlayingId = 0;
  FMixer->HookMusicFinished(nullptr);
  CloseMusic();
  FMixer->CloseAudio();
  FMixer->Quit();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void TSdlMediaPlayer::OpenDevice() {
  if (FDeviceOpen) return;
  if (!FMixer) FMixer = TSdlMixerLibrary::Load();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    throw Exception(std::string("No sound device: ") + SDL_GetError());
  }
  // Decoders that are missing only make their kind of file fail to open.
  FMixer->Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC | MIX_INIT_MID);
  // 512 frames a buffer (12 ms): closing the device waits for about three buffers, and a
  // screen-saver host gives the program 100 ms from SIGTERM to its end.
  if (FMixer->OpenAudio(44100, AUDIO_S16SYS, 2, 512) != 0) {
    const std::string error = SDL_GetError();
    FMixer->Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    throw Exception("No sound device: " + error);
  }
  FDeviceOpen = true;
  std::weak_ptr<bool> alive = FAlive;
  TApplication* application = &FApplication;
  {
    std::lock_guard lock(Relay().Mutex);
    Relay().Target = [this, alive, application] {
      const uint64_t playId = FPlayingId.load();
      if (playId == 0) return;
      application->Post([this, alive, playId] {
        const auto flag = alive.lock();
        if (flag && *flag) Finished(playId);
      });
    };
  }
  FMixer->HookMusicFinished(MusicFinished);
}

void TSdlMediaPlayer::CloseMusic() {
  if (!FMusic) return;
  FPlayingId = 0;
  FMixer->HaltMusic();
  FMixer->FreeMusic(FMusic);
  FMusic = nullptr;
}

void TSdlMediaPlayer::DoOpen() {
  // Closing the device drops what it owed.
  FPendingNotify = false;
  CloseMusic();
  const std::string& path = FileName();
  if (!FSoundEnabled) throw Exception("Cannot open media file " + path);
  OpenDevice();
  FMusic = FMixer->LoadMUS(path.c_str());
  if (!FMusic) throw Exception("Cannot open media file " + path + ": " + SDL_GetError());
}

void TSdlMediaPlayer::DoPlay(bool notify) {
  if (!FMusic) throw Exception("No media device open");
  if (FPendingNotify) QueueNotify(TMPNotifyValues::nvSuperseded);  // the earlier play's
  FPendingNotify = false;
  // An earlier play ends here without counting as an end; the new one counts from its start,
  // so even a sound shorter than this call is reported.
  FPlayingId = 0;
  FMixer->HaltMusic();
  FPendingNotify = notify;
  FPlayingId = FNextPlayId++;
  if (FMixer->PlayMusic(FMusic, 1) != 0) {
    FPlayingId = 0;
    FPendingNotify = false;
    throw Exception(std::string("Cannot play: ") + SDL_GetError());
  }
}

void TSdlMediaPlayer::DoStop(bool notify) {
  FPlayingId = 0;
  if (FMusic) FMixer->HaltMusic();
  const bool owed = FPendingNotify;
  FPendingNotify = false;
  if (owed || notify) {
    QueueNotify(owed ? TMPNotifyValues::nvAborted : TMPNotifyValues::nvSuccessful);
  }
}

void TSdlMediaPlayer::Finished(uint64_t playId) {
  if (playId != FPlayingId.load()) return;  // stopped or superseded since
  FPlayingId = 0;
  if (!FPendingNotify) return;
  FPendingNotify = false;
  Notified(TMPNotifyValues::nvSuccessful);
}

void TSdlMediaPlayer::QueueNotify(TMPNotifyValues value) {
  std::weak_ptr<bool> alive = FAlive;
  FApplication.Post([this, alive, value] {
    const auto flag = alive.lock();
    if (flag && *flag) Notified(value);
  });
}

}  // namespace tovrin
