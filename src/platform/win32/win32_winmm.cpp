#include "platform/win32/win32_winmm.h"

namespace tovrin {

TWin32Winmm::TWin32Winmm()
    : FLibrary(L"winmm.dll"),
      FBeginPeriod(FLibrary.Entry<decltype(FBeginPeriod)>("timeBeginPeriod")),
      FEndPeriod(FLibrary.Entry<decltype(FEndPeriod)>("timeEndPeriod")),
      FGetTime(FLibrary.Entry<decltype(FGetTime)>("timeGetTime")),
      FSendCommand(FLibrary.Entry<decltype(FSendCommand)>("mciSendCommandW")),
      FGetErrorString(FLibrary.Entry<decltype(FGetErrorString)>("mciGetErrorStringW")) {
  FWaveOut.Open = FLibrary.Entry<decltype(FWaveOut.Open)>("waveOutOpen");
  FWaveOut.Close = FLibrary.Entry<decltype(FWaveOut.Close)>("waveOutClose");
  FWaveOut.PrepareHeader = FLibrary.Entry<decltype(FWaveOut.PrepareHeader)>("waveOutPrepareHeader");
  FWaveOut.UnprepareHeader =
      FLibrary.Entry<decltype(FWaveOut.UnprepareHeader)>("waveOutUnprepareHeader");
  FWaveOut.Write = FLibrary.Entry<decltype(FWaveOut.Write)>("waveOutWrite");
  FWaveOut.Pause = FLibrary.Entry<decltype(FWaveOut.Pause)>("waveOutPause");
  FWaveOut.Restart = FLibrary.Entry<decltype(FWaveOut.Restart)>("waveOutRestart");
  FWaveOut.Reset = FLibrary.Entry<decltype(FWaveOut.Reset)>("waveOutReset");
  FWaveOut.GetPosition = FLibrary.Entry<decltype(FWaveOut.GetPosition)>("waveOutGetPosition");
  FPeriodSet = FBeginPeriod && FEndPeriod && FBeginPeriod(1) == TIMERR_NOERROR;
}

TWin32Winmm::~TWin32Winmm() {
  if (FPeriodSet) FEndPeriod(1);
}

DWORD TWin32Winmm::TimeGetTime() const {
  return FGetTime ? FGetTime() : GetTickCount();
}

namespace {

// Closing an MCI device frees its driver while the driver's own playback thread may still be
// finishing: on a loaded machine that thread was seen to run on inside the unloaded wave driver
// (a page fault executing in it when a show ended or a sound gave way to the next). So once a
// device has opened, the drivers then loaded, and winmm with them, are pinned: their code stays
// mapped until the process ends. Only modules already loaded are looked up, by name, so nothing
// new is loaded and nothing is searched for beside the program.
void PinLoadedDrivers() {
  static constexpr const wchar_t* kModules[] = {
      L"winmm.dll",  L"mciwave.dll", L"mciseq.dll",   L"mciavi32.dll",  L"mciqtz32.dll",
      L"mcicda.dll", L"wdmaud.drv",  L"winealsa.drv", L"winepulse.drv", L"wineoss.drv"};
  for (const wchar_t* name : kModules) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module);
  }
}

}  // namespace

MCIERROR TWin32Winmm::SendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags,
                                  DWORD_PTR params) const {
  if (!FSendCommand) return MCIERR_DEVICE_NOT_INSTALLED;
  const MCIERROR error = FSendCommand(device, message, flags, params);
  if (message == MCI_OPEN && error == 0) PinLoadedDrivers();
  return error;
}

MMRESULT TWin32Winmm::OpenWaveOut(HWAVEOUT* device, const WAVEFORMATEX& format) const {
  if (!FWaveOut.Complete()) return MMSYSERR_NODRIVER;
  const MMRESULT result = FWaveOut.Open(device, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL);
  if (result == MMSYSERR_NOERROR) PinLoadedDrivers();
  return result;
}

bool TWin32Winmm::ErrorString(MCIERROR error, wchar_t* text, UINT count) const {
  return FGetErrorString && FGetErrorString(error, text, count) != FALSE;
}

}  // namespace tovrin
