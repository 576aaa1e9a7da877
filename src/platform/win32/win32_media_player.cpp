#include "platform/win32/win32_media_player.h"

#include <string>

#include "core/ansi_text.h"
#include "core/errors.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_unicode.h"

namespace tovrin {

namespace {

[[noreturn]] void RaiseMciError(const TWin32Winmm& winmm, MCIERROR error) {
  wchar_t text[256] = {};
  if (!winmm.ErrorString(error, text, 256)) {
    throw Exception("MCI error " + std::to_string(error));
  }
  // The text goes where every error text goes: the ANSI message box.
  throw Exception(Utf8ToAnsi(Utf8FromWide(text)));
}

}  // namespace

void TWin32MediaPlayer::CloseDevice() {
  if (FDevice == 0) return;
  FApplication.SetMciHandler(FDevice, nullptr);
  FApplication.Winmm().SendCommand(FDevice, MCI_CLOSE, MCI_WAIT, 0);
  FDevice = 0;
}

void TWin32MediaPlayer::DoOpen() {
  CloseDevice();
  // The file name is a path: UTF-8, handed to the device as UTF-16, in its short form when it
  // holds letters beyond ASCII (the wave device opens its file through the ANSI calls).
  const std::wstring element = PathForAnsiOpeners(FileName());
  MCI_OPEN_PARMSW open{};
  open.lpstrElementName = element.c_str();
  const MCIERROR error = FApplication.Winmm().SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT,
                                                          reinterpret_cast<DWORD_PTR>(&open));
  if (error) RaiseMciError(FApplication.Winmm(), error);
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
  const MCIERROR error = FApplication.Winmm().SendCommand(FDevice, MCI_PLAY, flags,
                                                          reinterpret_cast<DWORD_PTR>(&play));
  if (error) RaiseMciError(FApplication.Winmm(), error);
}

void TWin32MediaPlayer::DoStop(bool notify) {
  if (FDevice == 0) throw Exception("No MCI device open");
  MCI_GENERIC_PARMS stop{};
  DWORD flags = MCI_WAIT;
  if (notify) {
    flags = MCI_NOTIFY;
    stop.dwCallback = reinterpret_cast<DWORD_PTR>(FApplication.Handle());
  }
  const MCIERROR error = FApplication.Winmm().SendCommand(FDevice, MCI_STOP, flags,
                                                          reinterpret_cast<DWORD_PTR>(&stop));
  if (error) RaiseMciError(FApplication.Winmm(), error);
}

}  // namespace tovrin
