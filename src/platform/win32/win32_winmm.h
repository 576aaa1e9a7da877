// TWin32Winmm: the multimedia library (winmm: the 1 ms timer, the Media Control Interface and the
// wave output device),
// loaded from the system folder at run time rather than imported. winmm is not one of the
// system's known DLLs, so an import would make Windows take a winmm.dll lying beside the saver.
// (MinGW's delay-loading is no help: its helper loads the bare name with LoadLibraryA and raises
// an exception at the first call when that fails.)
//
// Without the library the engine still runs: the tick count comes from GetTickCount (15.6 ms
// steps), and opening a sound fails as a missing device does.
#pragma once

#include "platform/win32/win32_api.h"

#include <mmsystem.h>

#include "platform/win32/win32_libraries.h"

namespace tovrin {

// The wave output functions (the video player's sound); all null without the library.
struct TWin32WaveOut {
  decltype(&::waveOutOpen) Open = nullptr;
  decltype(&::waveOutClose) Close = nullptr;
  decltype(&::waveOutPrepareHeader) PrepareHeader = nullptr;
  decltype(&::waveOutUnprepareHeader) UnprepareHeader = nullptr;
  decltype(&::waveOutWrite) Write = nullptr;
  decltype(&::waveOutPause) Pause = nullptr;
  decltype(&::waveOutRestart) Restart = nullptr;
  decltype(&::waveOutReset) Reset = nullptr;
  decltype(&::waveOutGetPosition) GetPosition = nullptr;

  bool Complete() const {
    return Open && Close && PrepareHeader && UnprepareHeader && Write && Pause && Restart &&
           Reset && GetPosition;
  }
};

class TWin32Winmm {
 public:
  // Loads the library and asks for the 1 ms timer resolution, given back on destruction.
  TWin32Winmm();
  ~TWin32Winmm();
  TWin32Winmm(const TWin32Winmm&) = delete;
  TWin32Winmm& operator=(const TWin32Winmm&) = delete;

  bool Loaded() const { return FLibrary.Loaded(); }
  // timeGetTime, or GetTickCount without the library.
  DWORD TimeGetTime() const;
  // mciSendCommandW; MCIERR_DEVICE_NOT_INSTALLED without the library. A device that opens pins
  // the drivers it loaded until the process ends (see PinLoadedDrivers).
  MCIERROR SendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) const;
  // mciGetErrorStringW into text (count characters); false when there is no text.
  bool ErrorString(MCIERROR error, wchar_t* text, UINT count) const;
  // The wave output functions; Complete() is false without the library.
  const TWin32WaveOut& WaveOut() const { return FWaveOut; }
  // waveOutOpen of the default device for format, with no callback (the caller polls its
  // buffers); MMSYSERR_NODRIVER without the library. A device that opens pins the drivers it
  // loaded, as SendCommand does.
  MMRESULT OpenWaveOut(HWAVEOUT* device, const WAVEFORMATEX& format) const;

 private:
  TSystemLibrary FLibrary;
  decltype(&::timeBeginPeriod) FBeginPeriod = nullptr;
  decltype(&::timeEndPeriod) FEndPeriod = nullptr;
  decltype(&::timeGetTime) FGetTime = nullptr;
  decltype(&::mciSendCommandW) FSendCommand = nullptr;
  decltype(&::mciGetErrorStringW) FGetErrorString = nullptr;
  TWin32WaveOut FWaveOut;
  bool FPeriodSet = false;
};

}  // namespace tovrin
