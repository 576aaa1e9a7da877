#include "platform/win32/win32_winmm.h"

namespace tovrin {

TWin32Winmm::TWin32Winmm()
    : FLibrary(L"winmm.dll"),
      FBeginPeriod(FLibrary.Entry<decltype(FBeginPeriod)>("timeBeginPeriod")),
      FEndPeriod(FLibrary.Entry<decltype(FEndPeriod)>("timeEndPeriod")),
      FGetTime(FLibrary.Entry<decltype(FGetTime)>("timeGetTime")),
      FSendCommand(FLibrary.Entry<decltype(FSendCommand)>("mciSendCommandW")),
      FGetErrorString(FLibrary.Entry<decltype(FGetErrorString)>("mciGetErrorStringW")) {
  FPeriodSet = FBeginPeriod && FEndPeriod && FBeginPeriod(1) == TIMERR_NOERROR;
}

TWin32Winmm::~TWin32Winmm() {
  if (FPeriodSet) FEndPeriod(1);
}

DWORD TWin32Winmm::TimeGetTime() const {
  return FGetTime ? FGetTime() : GetTickCount();
}

MCIERROR TWin32Winmm::SendCommand(MCIDEVICEID device, UINT message, DWORD_PTR flags,
                                  DWORD_PTR params) const {
  if (!FSendCommand) return MCIERR_DEVICE_NOT_INSTALLED;
  return FSendCommand(device, message, flags, params);
}

bool TWin32Winmm::ErrorString(MCIERROR error, wchar_t* text, UINT count) const {
  return FGetErrorString && FGetErrorString(error, text, count) != FALSE;
}

}  // namespace tovrin
