// A library planted beside a saver under the name of a system library that is not one of the
// system's known DLLs (built as winmm.dll): loading it writes a marker file beside it
// ("<its own path>.loaded"), so a test sees from outside whether a program took it. It exports
// the multimedia calls a program may import from that library, each doing as little as it may
// (the clock from GetTickCount, every device missing), so that a program that does take it
// still starts and shows that it did.
#include "windows_api.h"

#include <string>

namespace {

void WriteMarker(HMODULE self) {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
  if (n == 0 || n >= path.size()) return;
  path.resize(n);
  path += L".loaded";
  const HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
}

constexpr DWORD kDeviceNotInstalled = 256 + 50;  // MCIERR_DEVICE_NOT_INSTALLED

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) WriteMarker(self);
  return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI timeGetTime() {
  return GetTickCount();
}

extern "C" __declspec(dllexport) UINT WINAPI timeBeginPeriod(UINT) {
  return 0;
}

extern "C" __declspec(dllexport) UINT WINAPI timeEndPeriod(UINT) {
  return 0;
}

extern "C" __declspec(dllexport) DWORD WINAPI mciSendCommandA(UINT, UINT, DWORD_PTR, DWORD_PTR) {
  return kDeviceNotInstalled;
}

extern "C" __declspec(dllexport) DWORD WINAPI mciSendCommandW(UINT, UINT, DWORD_PTR, DWORD_PTR) {
  return kDeviceNotInstalled;
}

extern "C" __declspec(dllexport) BOOL WINAPI mciGetErrorStringA(DWORD, LPSTR, UINT) {
  return FALSE;
}

extern "C" __declspec(dllexport) BOOL WINAPI mciGetErrorStringW(DWORD, LPWSTR, UINT) {
  return FALSE;
}
