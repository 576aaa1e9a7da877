// TSoundPlaylist: the packaged sounds one after the other for as long as the show runs, each
// started by the end of the one before (the media player's notification).
//
// SoundRandom chooses the order: 2 draws every sound at random, 3 draws one sound at the start
// and plays it over and over, anything else plays the package's order. A muted show, or one
// without sounds, plays nothing. A sound the media step left out of the media folder is passed
// over (with none there, nothing plays); a sound that is there but cannot be opened ends the
// playlist quietly.
//
// A sound ended "at once" when the device reports that the play failed (with no sound card, Wine's
// wave device does so 7 to 40 ms after the play), or when its end comes sooner than
// kInstantSoundEndMs after Play returned (a file that holds no sound ends after a buffer or two,
// some 12 ms; a test's null device plays a 300 ms sound in 50 to 100 ms, so the bound stays well
// below that). When every sound of the playlist has ended at once in a row, the next one is
// started by a timer after kSoundRetryMs rather than straight away, so a missing sound device
// costs one attempt (some 30 ms of processor under Wine) every five seconds instead of a busy
// core, and sound comes back by itself when the device does.
//
// Main thread only. What the context refers to belongs to the show window and outlives the
// playlist; the playlist installs the player's notification handler and removes it when it goes.
#pragma once

#include <cstdint>
#include <vector>

#include "package/ss_file_locations.h"
#include "platform/application.h"
#include "platform/media_player.h"
#include "platform/timer.h"
#include "show/handler_guard.h"
#include "show/media_folder.h"

namespace tovrin {

inline constexpr uint32_t kInstantSoundEndMs = 25;
inline constexpr uint32_t kSoundRetryMs = 5000;

class TSoundPlaylist {
 public:
  struct TContext {
    TApplication& Application;  // the tick count and the retry timer
    TMediaPlayer& Player;
    const TSSFileLocations& Settings;
    const TMediaFolder& Media;  // where the sounds were extracted
    THandlerGuard Guard;        // runs the notification and retry timer handlers
  };

  explicit TSoundPlaylist(TContext context);
  ~TSoundPlaylist();
  TSoundPlaylist(const TSoundPlaylist&) = delete;
  TSoundPlaylist& operator=(const TSoundPlaylist&) = delete;

  // Starts the playlist once the media are extracted (with SoundRandom 3, draws its one sound).
  void Start();

  // ---- Read-only state, for tests
  int32_t SndIndex() const { return FSndIndex; }
  const TTimer& SoundRetryTimer() const { return FSoundRetryTimer; }

 private:
  // Plays sound FSndIndex (or a random one) and moves the index on.
  void PlayNextSound();
  // The player's notification: the sound has ended (or failed); the next one follows.
  void mpSaverNotify();
  void SoundRetryTimerTimer();

  TApplication& FApplication;
  TMediaPlayer& FmpSaver;
  const TSSFileLocations& FSettings;
  const TMediaFolder& FMediaFolder;
  const THandlerGuard FGuard;

  int32_t FSndIndex = 0;
  // Which sounds are in the media folder, looked up at Start.
  std::vector<bool> FExtracted;
  // The guard against a device that ends every sound at once (see above).
  TTimer FSoundRetryTimer;
  uint32_t FSoundStartTick = 0;
  int32_t FInstantSoundEnds = 0;
};

}  // namespace tovrin
