// Libraries the engine loads while it runs, from the system folder only.
//
// A saver is a downloaded file, often run from a folder anyone can put files in (Downloads), and
// Windows looks for a library named without a path beside the program first. So the program's
// import table names only the system's known DLLs (loaded from the system folder whatever lies
// beside the program), and every other library is loaded here by its full path in the system
// folder: winmm (win32_winmm.h), the password libraries. Libraries that others load by name
// later (winmm's device drivers, what COM and the shell load) are held to the system folder by
// RestrictLibrarySearchToSystemFolder (win32_platform.h).
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/win32/win32_platform.h"

#include <string>
#include <string_view>

namespace tovrin {

// The system folder (GetSystemDirectoryW) with a trailing backslash; empty when the system does
// not report one.
std::wstring SystemFolder();

// A library from the system folder, freed with the object.
class TSystemLibrary {
 public:
  // Loads fileName ("winmm.dll") by its full path in the system folder, the libraries it needs
  // from the system folder as well. When the system folder is unknown nothing is loaded: the
  // bare name would be looked for beside the program.
  explicit TSystemLibrary(std::wstring_view fileName);
  ~TSystemLibrary();
  TSystemLibrary(const TSystemLibrary&) = delete;
  TSystemLibrary& operator=(const TSystemLibrary&) = delete;

  bool Loaded() const { return FModule != nullptr; }

  // The entry point name as a function pointer of type T; nullptr when the library did not load
  // or has no such entry.
  template <typename T>
  T Entry(const char* name) const {
    const FARPROC proc = FModule ? GetProcAddress(FModule, name) : nullptr;
    // GetProcAddress returns every entry point as one generic function pointer type.
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(proc));
  }

 private:
  HMODULE FModule = nullptr;
};

}  // namespace tovrin
