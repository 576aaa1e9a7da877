// TMediaPlayer: plays one sound file at a time and reports when a command has completed.
//
// Notify applies to the next command only: a command asks for a completion notification when
// Notify was last set true before it, or was not set at all since the previous command. When a
// command that asked for one completes (finished, stopped, superseded or failed), OnNotify runs
// in the main thread, from the message loop; NotifyValue then says how it completed.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace tovrin {

enum class TMPNotifyValues : uint8_t { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

class TMediaPlayer {
 public:
  virtual ~TMediaPlayer() = default;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(std::string fileName) { FFileName = std::move(fileName); }
  bool Notify() const { return FNotify; }
  // How the command whose notification ran last completed.
  TMPNotifyValues NotifyValue() const { return FNotifyValue; }
  void SetNotify(bool value) {
    FNotify = value;
    FUseNotify = true;
  }

  // Closes a device that is still open, then opens FileName with the device its kind selects;
  // raises (Exception) when the file cannot be opened.
  void Open() {
    TakeNotify();
    DoOpen();
  }
  // Plays the open file from its start and returns at once.
  void Play() { DoPlay(TakeNotify()); }
  // Stops playback.
  void Stop() { DoStop(TakeNotify()); }

  std::function<void()> OnNotify;

 protected:
  virtual void DoOpen() = 0;
  virtual void DoPlay(bool notify) = 0;
  virtual void DoStop(bool notify) = 0;
  // Back ends call this in the main thread when a notifying command has completed.
  void Notified(TMPNotifyValues value) {
    FNotifyValue = value;
    if (OnNotify) OnNotify();
  }

 private:
  bool TakeNotify() {
    const bool notify = FUseNotify ? FNotify : true;
    FUseNotify = false;
    return notify;
  }

  std::string FFileName;
  bool FNotify = true;
  bool FUseNotify = false;
  TMPNotifyValues FNotifyValue = TMPNotifyValues::nvSuccessful;
};

}  // namespace tovrin
