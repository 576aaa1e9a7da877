// THeadlessMediaPlayer: the headless back end's sound device. It opens a file that exists and
// whose extension the script lists as a sound kind, and plays nothing: a sound ends when the test
// says so (FinishNow), or, with the script's AutoFinishSounds, when the clock has run for the
// length a WAV file's header gives. With SoundDeviceFails every play fails at once. Commands are
// recorded in the platform's log ("Sound.Open(/tmp/x/a.wav)", "Sound.Play(...) no-notify").
//
// Notifications are posted to the application, as the system's arrive through the message loop;
// one still queued when the player is destroyed does nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/media_player.h"

namespace tovrin {

class THeadlessPlatform;

class THeadlessMediaPlayer final : public TMediaPlayer {
 public:
  explicit THeadlessMediaPlayer(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessMediaPlayer() override;
  THeadlessMediaPlayer(const THeadlessMediaPlayer&) = delete;
  THeadlessMediaPlayer& operator=(const THeadlessMediaPlayer&) = delete;

  // The sound that is playing ends now: a notification is queued if the play asked for one.
  void FinishNow();
  bool Playing() const { return FPlaying; }
  const std::string& OpenFile() const { return FOpenFile; }

 protected:
  void DoOpen() override;
  void DoPlay(bool notify) override;
  void DoStop(bool notify) override;

 private:
  void QueueNotify(TMPNotifyValues value);
  void KillFinishTimer();

  THeadlessPlatform& FPlatform;
  std::string FOpenFile;
  bool FPlaying = false;
  bool FPendingNotify = false;
  uint32_t FFinishTimer = 0;
  // Outlives queued notifications: a queued one checks it before touching the player.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
