// Settings of the system changed for one test and put back afterwards: a value of the desktop's
// registry key, a file in the system directory (the stand-in password libraries).
#pragma once

#include "windows_api.h"

#include <string>

#include "e2e_process.h"

namespace tovrin::test {

// A value under HKCU\Control Panel\Desktop for one test, removed afterwards.
class TDesktopValue {
 public:
  TDesktopValue(const char* name, DWORD type, const void* data, DWORD size) : FName(name) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_WRITE, nullptr,
                    &key, nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  ~TDesktopValue() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_WRITE, &key) ==
        ERROR_SUCCESS) {
      RegDeleteValueA(key, FName.c_str());
      RegCloseKey(key);
    }
  }

 private:
  std::string FName;
};

// A file placed in the system directory for one test. A file of that name that is there already
// is kept aside and put back (also after an earlier run that did not get to put it back).
class TSystemFile {
 public:
  TSystemFile(const std::string& source, const std::string& name) {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    FPath = std::string(dir) + "\\" + name;
    FSaved = FPath + ".tovrin-saved";
    if (GetFileAttributesA(FSaved.c_str()) != INVALID_FILE_ATTRIBUTES) {
      CopyFileA(FSaved.c_str(), FPath.c_str(), FALSE);
    } else if (GetFileAttributesA(FPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
      if (!CopyFileA(FPath.c_str(), FSaved.c_str(), TRUE)) return;
    }
    Ok = CopyFileA(WindowsPath(source).c_str(), FPath.c_str(), FALSE) != FALSE;
  }
  ~TSystemFile() {
    if (GetFileAttributesA(FSaved.c_str()) == INVALID_FILE_ATTRIBUTES) {
      DeleteFileA(FPath.c_str());
    } else if (CopyFileA(FSaved.c_str(), FPath.c_str(), FALSE)) {
      DeleteFileA(FSaved.c_str());
    }
  }
  TSystemFile(const TSystemFile&) = delete;
  TSystemFile& operator=(const TSystemFile&) = delete;
  bool Ok = false;

 private:
  std::string FPath;
  std::string FSaved;
};

}  // namespace tovrin::test
