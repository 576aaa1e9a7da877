#include "platform/win32/win32_libraries.h"

namespace tovrin {

bool RestrictLibrarySearchToSystemFolder() {
  // Looked up rather than imported, so that the program still starts on a system without it.
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (!kernel) return false;
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  const auto set = reinterpret_cast<TSetDefaultDllDirectories>(
      reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
  return set && set(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

std::wstring SystemFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT n = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (n == 0) return std::wstring();
    if (n < folder.size()) {
      folder.resize(n);
      break;
    }
    folder.resize(n);  // n is the size needed, terminator included
  }
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

TSystemLibrary::TSystemLibrary(std::wstring_view fileName) {
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return;
  const std::wstring path = folder + std::wstring(fileName);
  FModule = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!FModule && GetLastError() == ERROR_INVALID_PARAMETER) {
    // A system that does not know the search flag: the full path, and the library's own folder
    // (the system folder) first for what it needs.
    FModule = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
}

TSystemLibrary::~TSystemLibrary() {
  if (FModule) FreeLibrary(FModule);
}

}  // namespace tovrin
