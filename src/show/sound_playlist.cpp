#include "show/sound_playlist.h"

#include <algorithm>
#include <utility>

#include "core/random.h"
#include "package/package_locator.h"
#include "show/extracted_media.h"

namespace tovrin {

TSoundPlaylist::TSoundPlaylist(TContext context)
    : FApplication(context.Application),
      FmpSaver(context.Player),
      FSettings(context.Settings),
      FMediaFolder(context.Media),
      FGuard(std::move(context.Guard)),
      FSoundRetryTimer(context.Application) {
  FmpSaver.OnNotify = [this] { FGuard([this] { mpSaverNotify(); }); };
  FSoundRetryTimer.SetEnabled(false);
  FSoundRetryTimer.SetInterval(kSoundRetryMs);
  FSoundRetryTimer.SetOnTimer([this] { FGuard([this] { SoundRetryTimerTimer(); }); });
}

TSoundPlaylist::~TSoundPlaylist() {
  FmpSaver.OnNotify = nullptr;
}

void TSoundPlaylist::Start() {
  FExtracted = ExtractedMedia(FMediaFolder, FSettings.SndFileNameList(), FSettings.SndCount());
  if (FSettings.SoundRandom() == 3) FSndIndex = Random(FSettings.SndCount());
  PlayNextSound();
}

void TSoundPlaylist::PlayNextSound() {
  const int32_t count = FSettings.SndCount();
  if (count == 0 || FSettings.lMute()) return;
  if (FSndIndex > count - 1) FSndIndex = 0;
  if (FSettings.SoundRandom() == 2) FSndIndex = Random(count);
  // A sound that was left out gives way to the next one that is there.
  const int32_t index = NextExtracted(FExtracted, FSndIndex);
  if (index < 0) return;
  FSndIndex = index;
  FmpSaver.SetFileName(MediaFilePath(FSettings.SndFileNameAt(FSndIndex), FMediaFolder.Path()));
  // The time a play starts, for telling a device that fails every play (mpSaverNotify); taken
  // again once Play has returned, since opening a device may itself take a while.
  FSoundStartTick = FApplication.TickCount();
  try {
    FmpSaver.Open();
    FmpSaver.Play();
    FSoundStartTick = FApplication.TickCount();
  } catch (const std::exception&) {
    // A sound that cannot be played is skipped silently; no notification follows, so the
    // playlist rests from here on.
  }
  FmpSaver.SetNotify(true);
  if (FSettings.SoundRandom() != 3) FSndIndex += 1;
}

void TSoundPlaylist::mpSaverNotify() {
  // Any notification moves the playlist on, whatever its result. A device that fails every play
  // at once (no sound card, a sound server that is gone) would then start sound after sound as
  // fast as the notifications come back; once a whole playlist's worth has ended at once in a
  // row, the next sound waits for the retry timer. A sound that plays resets the count.
  const uint32_t played = FApplication.TickCount() - FSoundStartTick;
  const bool failed = FmpSaver.NotifyValue() == TMPNotifyValues::nvFailure;
  FInstantSoundEnds = failed || played < kInstantSoundEndMs ? FInstantSoundEnds + 1 : 0;
  FmpSaver.SetNotify(false);
  FmpSaver.Stop();
  if (FInstantSoundEnds >= std::max(FSettings.SndCount(), 1)) {
    FSoundRetryTimer.SetEnabled(true);
    return;
  }
  PlayNextSound();
  FmpSaver.SetNotify(true);
}

void TSoundPlaylist::SoundRetryTimerTimer() {
  FSoundRetryTimer.SetEnabled(false);
  PlayNextSound();
  FmpSaver.SetNotify(true);
}

}  // namespace tovrin
