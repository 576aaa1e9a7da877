// TWin32MediaPlayer: sound through the Media Control Interface (winmm, see win32_winmm.h).
//
// Open closes a device still open, then opens FileName (a UTF-8 path, handed over as UTF-16) as
// an element with no device type, so the system picks the device from the extension. Play starts
// from the beginning; a notifying command names the application's window as its callback, and
// the MM_MCINOTIFY that comes back (successful, superseded, aborted or failed alike) raises
// OnNotify from the message loop. Stop without notification waits for the device instead. The
// device closes with the player.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/media_player.h"

namespace tovrin {

class TWin32Application;

class TWin32MediaPlayer final : public TMediaPlayer {
 public:
  explicit TWin32MediaPlayer(TWin32Application& application) : FApplication(application) {}
  ~TWin32MediaPlayer() override { CloseDevice(); }
  TWin32MediaPlayer(const TWin32MediaPlayer&) = delete;
  TWin32MediaPlayer& operator=(const TWin32MediaPlayer&) = delete;

  // The open device's MCI id, 0 when none is open.
  UINT DeviceId() const { return FDevice; }

 protected:
  void DoOpen() override;
  void DoPlay(bool notify) override;
  void DoStop(bool notify) override;

 private:
  void CloseDevice();

  TWin32Application& FApplication;
  UINT FDevice = 0;
};

}  // namespace tovrin
