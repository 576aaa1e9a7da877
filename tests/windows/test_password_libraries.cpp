// Stand-ins for the system's password libraries, for the end-to-end tests: built once as
// PASSWORD.CPL (VerifyScreenSavePwd) and once as MPR.DLL (PwdChangePasswordA, with
// TOVRIN_TEST_MPR defined). Each call appends a line to the file named by the environment
// variable TOVRIN_TEST_LOG; the verifier accepts when TOVRIN_TEST_VERIFIER is "accept".
#include "windows_api.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Log(const char* line) {
  const char* path = std::getenv("TOVRIN_TEST_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fputs(line, f);
    std::fputc('\n', f);
    std::fclose(f);
  }
}

}  // namespace

#ifdef TOVRIN_TEST_MPR

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR key, HWND parent, DWORD reserved1, DWORD reserved2) {
  char line[300];
  std::snprintf(line, sizeof line, "PwdChangePasswordA %s %llu %lu %lu", key ? key : "(null)",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(parent)),
                static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
  Log(line);
  return 0;
}

#else

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
  const char* answer = std::getenv("TOVRIN_TEST_VERIFIER");
  const bool accept = answer && std::strcmp(answer, "accept") == 0;
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  char line[200];
  std::snprintf(line, sizeof line, "VerifyScreenSavePwd %s %s", name, accept ? "accept" : "refuse");
  Log(line);
  if (const char* path = std::getenv("TOVRIN_TEST_VERIFIER_WINDOW")) {
    RECT r{};
    GetWindowRect(window, &r);
    if (FILE* f = std::fopen(path, "w")) {
      std::fprintf(f, "%ld,%ld,%ld,%ld\n", r.left, r.top, r.right, r.bottom);
      std::fclose(f);
    }
  }
  // Only the low byte counts: a refusal with other bits set must still read as a refusal.
  return accept ? TRUE : 0x100;
}

#endif
