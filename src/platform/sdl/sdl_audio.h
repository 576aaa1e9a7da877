// TSdlMediaPlayer: sounds through SDL2_mixer's music stream (WAV, OGG, MP3, FLAC, and MIDI
// where the system has a synthesizer).
//
// The audio device opens with the first Open and closes with the player. The end of a sound is
// reported by SDL_mixer on its audio thread; the player posts it to the main thread, where
// OnNotify runs if the play that ended asked for a notification and has not been stopped or
// superseded since (those report through their own commands, as the media player's contract
// says).
//
// A player made without sound (the host asked for silence) fails every Open, so the show goes on
// without music, as with a sound it cannot open.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/application.h"
#include "platform/media_player.h"

struct _Mix_Music;

namespace tovrin {

class TSdlMixerLibrary;

class TSdlMediaPlayer final : public TMediaPlayer {
 public:
  TSdlMediaPlayer(TApplication& application, bool soundEnabled);
  ~TSdlMediaPlayer() override;
  TSdlMediaPlayer(const TSdlMediaPlayer&) = delete;
  TSdlMediaPlayer& operator=(const TSdlMediaPlayer&) = delete;

 protected:
  void DoOpen() override;
  void DoPlay(bool notify) override;
  void DoStop(bool notify) override;

 private:
  void OpenDevice();
  void CloseMusic();
  void QueueNotify(TMPNotifyValues value);
  // Main thread: the sound of play playId has ended by itself.
  void Finished(uint64_t playId);

  TApplication& FApplication;
  const bool FSoundEnabled;
  // Loaded with the device's first opening; kept until the player goes.
  std::unique_ptr<TSdlMixerLibrary> FMixer;
  bool FDeviceOpen = false;
  _Mix_Music* FMusic = nullptr;
  bool FPendingNotify = false;
  uint64_t FNextPlayId = 1;
  // The play whose end counts; 0 while nothing plays or while stopping (a halt reports through
  // the same callback and must not count as an end). Read on the audio thread.
  std::atomic<uint64_t> FPlayingId{0};
  // Outlives queued messages: a queued one checks it before touching the player.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
