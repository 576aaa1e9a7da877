#include "platform/win32/win32_media_player.h"

#include <mmsystem.h>

#include "core/errors.h"
#include "platform/win32/win32_application.h"

namespace tovrin {

namespace {

[[noreturn]] void RaiseMciError(MCIERROR error) {
  char text[256] = {};
  if (!mciGetErrorStringA(error, text, sizeof text)) {
    throw Exception("MCI error " + std::to_string(error));
  }
  throw Exception(text);
}

}  // namespace

void TWin32MediaPlayer::CloseDevice() {
  if (FDevice == 0) return;
  FApplication.SetMciHandler(FDevice, nullptr);
  mciSendCommandA(FDevice, MCI_CLOSE, MCI_WAIT, 0);
  FDevice = 0;
}

void TWin32MediaPlayer::DoOpen() {
  CloseDevice();
  MCI_OPEN_PARMSA open{};
  open.lpstrElementName = FileName().c_str();
  const MCIERROR error =
      mciSendCommandA(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open));
  if (error) RaiseMciError(error);
  FDevice = open.wDeviceID;
  FApplication.SetMciHandler(FDevice, [this](WPARAM code) {
    Notified(code == MCI_NOTIFY_FAILURE      ? TMPNotifyValues::nvFailure
             : code == MCI_NOTIFY_ABORTED    ? TMPNotifyValues::nvAborted
             : code == MCI_NOTIFY_SUPERSEDED ? TMPNotifyValues::nvSuperseded
                                             : TMPNotifyValues::nvSuccessful);
  });
}

void TWin32MediaPlayer::DoPlay(bool notify) {
  if (FDevice == 0) throw Exception("No MCI device open");
  MCI_PLAY_PARMS play{};
  play.dwFrom = 0;
  DWORD flags = MCI_FROM;
  if (notify) {
    flags |= MCI_NOTIFY;
    play.dwCallback = reinterpret_cast<DWORD_PTR>(FApplication.Handle());
  }
  const MCIERROR error =
      mciSendCommandA(FDevice, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&play));
  if (error) RaiseMciError(error);
}

void TWin32MediaPlayer::DoStop(bool notify) {
  if (FDevice == 0) throw Exception("No MCI device open");
  MCI_GENERIC_PARMS stop{};
  DWORD flags = MCI_WAIT;
  if (notify) {
    flags = MCI_NOTIFY;
    stop.dwCallback = reinterpret_cast<DWORD_PTR>(FApplication.Handle());
  }
  const MCIERROR error =
      mciSendCommandA(FDevice, MCI_STOP, flags, reinterpret_cast<DWORD_PTR>(&stop));
  if (error) RaiseMciError(error);
}

}  // namespace tovrin
