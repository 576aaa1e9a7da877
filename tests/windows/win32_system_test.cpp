// The Win32 system services: the desktop setting read with every kind of stored value, the named
// instance lock, the program's and temporary folders (letters outside the ANSI code page kept),
// libraries from the system folder only, the input hook with real input (SendInput),
// and the preview host drawing into another window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gdi_objects.h"
#include "noise_bitmap.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_libraries.h"
#include "platform/win32/win32_preview_host.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_unicode.h"
#include "screen_capture.h"

namespace tovrin {
namespace {

constexpr char kDesktopKey[] = "Control Panel\\Desktop";

// A value under HKCU\Control Panel\Desktop for one test, removed afterwards.
class TDesktopValue {
 public:
  TDesktopValue(const char* name, DWORD type, const void* data, DWORD size) : FName(name) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  ~TDesktopValue() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, FName.c_str());
      RegCloseKey(key);
    }
  }

 private:
  std::string FName;
};

TEST(Win32SystemTest, DesktopIntegersReadOnlyFromIntegerValues) {
  TWin32Application app;
  TWin32System system(app);
  const DWORD one = 1;
  const DWORD minusTwo = static_cast<DWORD>(-2);
  const char text[] = "1";
  const uint8_t binary[4] = {1, 0, 0, 0};
  const uint64_t wide = 1;
  TDesktopValue v1("TovrinTestDword", REG_DWORD, &one, sizeof one);
  TDesktopValue v2("TovrinTestNegative", REG_DWORD, &minusTwo, sizeof minusTwo);
  TDesktopValue v3("TovrinTestText", REG_SZ, text, sizeof text);
  TDesktopValue v4("TovrinTestBinary", REG_BINARY, binary, sizeof binary);
  TDesktopValue v5("TovrinTestQword", REG_QWORD, &wide, sizeof wide);
  struct {
    const char* Name;
    TRegistryRead Result;
    int32_t Value;
  } const cases[] = {
      {"TovrinTestDword", TRegistryRead::rrValue, 1},
      {"TovrinTestNegative", TRegistryRead::rrValue, -2},
      {"TovrinTestText", TRegistryRead::rrNotInteger, 0},
      {"TovrinTestBinary", TRegistryRead::rrNotInteger, 0},
      {"TovrinTestQword", TRegistryRead::rrNotInteger, 0},
      {"TovrinTestMissing", TRegistryRead::rrMissing, 0},
  };
  for (const auto& c : cases) {
    const TRegistryInteger read = system.ReadDesktopInteger(c.Name);
    EXPECT_EQ(read.Result, c.Result) << c.Name;
    if (c.Result == TRegistryRead::rrValue) {
      EXPECT_EQ(read.Value, c.Value) << c.Name;
    }
  }
}

TEST(Win32SystemTest, TheInstanceLockExcludesASecondHolderUntilItIsGone) {
  TWin32Application app;
  TWin32System system(app);
  const std::string name = "tovrin_test.scrSemaphore" + std::to_string(GetCurrentProcessId());
  TInstanceLockResult first = system.CreateInstanceLock(name);
  ASSERT_NE(first.Lock, nullptr);
  EXPECT_FALSE(first.AlreadyExists);
  TInstanceLockResult second = system.CreateInstanceLock(name);
  EXPECT_EQ(second.Lock, nullptr);
  EXPECT_TRUE(second.AlreadyExists);
  first.Lock.reset();
  TInstanceLockResult third = system.CreateInstanceLock(name);
  EXPECT_NE(third.Lock, nullptr);
  EXPECT_FALSE(third.AlreadyExists);
}

TEST(Win32SystemTest, FoldersEndInTheSeparatorAndSettingsLieBesideTheProgram) {
  TWin32Application app;
  TWin32System system(app);
  const std::string exe = system.ExeName();
  EXPECT_NE(exe.find("win32_platform_tests.exe"), std::string::npos) << exe;
  const std::string temp = system.TempDir();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_NE(GetFileAttributesA(temp.c_str()), INVALID_FILE_ATTRIBUTES) << temp;
  EXPECT_EQ(system.SettingsDir(), exe.substr(0, exe.rfind('\\') + 1));
  EXPECT_EQ(SystemDirectory().back(), '\\');
}

TEST(Win32SystemTest, TheTemporaryFolderKeepsLettersOutsideTheAnsiCodePage) {
  TWin32Application app;
  TWin32System system(app);
  wchar_t base[MAX_PATH + 1] = {};
  ASSERT_NE(GetTempPathW(MAX_PATH + 1, base), 0u);
  // Letters Windows-1252 has no byte for: the ANSI call reports them as "?".
  const std::wstring folder = std::wstring(base) + L"Łukasz ćma\\";
  std::vector<wchar_t> saved(32768);
  const DWORD n = GetEnvironmentVariableW(L"TMP", saved.data(), static_cast<DWORD>(saved.size()));
  SetEnvironmentVariableW(L"TMP", folder.c_str());
  const std::string temp = system.TempDir();
  SetEnvironmentVariableW(L"TMP", n > 0 && n < saved.size() ? saved.data() : nullptr);
  EXPECT_EQ(temp, Utf8FromWide(folder));
  EXPECT_EQ(WideFromUtf8(temp), folder);
}

// Libraries are loaded by their full path in the system folder: a library lying beside the
// program is never taken, neither by the back end's loader nor, once the search is restricted,
// by a load by name. The planted library (test_planted_library.cpp) stands in for one.
TEST(Win32SystemTest, LibrariesComeFromTheSystemFolderOnly) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring beside(self);
  beside.resize(beside.rfind(L'\\') + 1);
  const std::wstring name = L"tovrin_beside.dll";
  std::wstring planted = WideFromUtf8("Z:" TOVRIN_TEST_PLANTED_LIBRARY);
  std::replace(planted.begin(), planted.end(), L'/', L'\\');
  ASSERT_TRUE(CopyFileW(planted.c_str(), (beside + name).c_str(), FALSE));

  EXPECT_FALSE(TSystemLibrary(name).Loaded());
  TSystemLibrary kernel(L"kernel32.dll");
  EXPECT_NE(kernel.Entry<DWORD(WINAPI*)()>("GetTickCount"), nullptr);
  EXPECT_EQ(kernel.Entry<DWORD(WINAPI*)()>("NoSuchEntry"), nullptr);
  EXPECT_TRUE(TSystemLibrary(L"winmm.dll").Loaded());

  // By name the system looks beside the program first, until the search is restricted.
  HMODULE byName = LoadLibraryW(name.c_str());
  EXPECT_NE(byName, nullptr) << "the library beside the program was not found at all";
  if (byName) FreeLibrary(byName);
  ASSERT_TRUE(RestrictLibrarySearchToSystemFolder());
  byName = LoadLibraryW(name.c_str());
  EXPECT_EQ(byName, nullptr) << "a load by name took the library beside the program";
  if (byName) FreeLibrary(byName);
  // Back to the usual search for the tests after this one.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  DeleteFileW((beside + name).c_str());
  DeleteFileW((beside + name + L".loaded").c_str());
}

// Key up and button down and up through the system's input queue, to a window of this process
// that has the focus and lies under the cursor (a journal hook records the events a process's
// loop takes from its queue).
void SendKeyAndClick(HWND target) {
  RECT r;
  GetWindowRect(target, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SetForegroundWindow(target);
  SetFocus(target);
  INPUT input[4] = {};
  input[0].type = INPUT_KEYBOARD;
  input[0].ki.wVk = 'K';
  input[1] = input[0];
  input[1].ki.dwFlags = KEYEVENTF_KEYUP;
  input[2].type = INPUT_MOUSE;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[3].type = INPUT_MOUSE;
  input[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(4, input, sizeof(INPUT));
}

TEST(Win32SystemTest, BothInputHooksReportKeysAndButtonsUntilRemoved) {
  TWin32Application app;
  TWin32System system(app);
  // A plain window of our own (a static control lets mouse input through to what lies below).
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TovrinHookTarget";
  RegisterClassA(&wc);
  HWND target = CreateWindowExA(WS_EX_TOPMOST, "TovrinHookTarget", "", WS_POPUP | WS_VISIBLE, 0, 0,
                                300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(target, nullptr);
  test::PumpFor(100);
  for (const bool lowLevel : {false, true}) {
    SCOPED_TRACE(lowLevel ? "low-level hooks" : "journal-record hook");
    std::vector<uint32_t> messages;
    auto record = [&](uint32_t message) { messages.push_back(message); };
    std::unique_ptr<TInputHook> hook =
        lowLevel ? InstallLowLevelInputHook(app, record) : system.InstallInputHook(record);
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(system.InstallInputHook([](uint32_t) {}), nullptr) << "one hook at a time";

    SendKeyAndClick(target);
    auto seen = [&](uint32_t m) {
      return std::find(messages.begin(), messages.end(), m) != messages.end();
    };
    const uint32_t start = app.TickCount();
    while (!(seen(0x101) && seen(0x202)) && app.TickCount() - start < 2000) {
      app.WaitMessage(20);
      app.ProcessMessages();
    }
    EXPECT_TRUE(seen(0x101)) << "key up";
    EXPECT_TRUE(seen(0x201)) << "button down";
    EXPECT_TRUE(seen(0x202)) << "button up";

    hook->Remove();
    messages.clear();
    SendKeyAndClick(target);
    const uint32_t after = app.TickCount();
    while (app.TickCount() - after < 300) {
      app.WaitMessage(20);
      app.ProcessMessages();
    }
    EXPECT_TRUE(messages.empty()) << "a removed hook reports nothing";
  }
  DestroyWindow(target);
}

TEST(Win32SystemTest, ThePreviewHostDrawsIntoAnotherWindowAndSeesItGo) {
  TWin32Application app;
  HWND host = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 30, 152, 112,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(host, nullptr);
  test::PumpFor(100);
  TWin32PreviewHost preview(host);
  EXPECT_TRUE(preview.Exists());
  EXPECT_TRUE(preview.IsVisible());
  EXPECT_EQ(preview.WindowRect(), (TRect{20, 30, 172, 142}));
  // One more than the window in each direction, as the preview draws it: clipped to the client.
  const TBitmap picture = test::NoiseBitmap(153, 113, 7);
  preview.Draw(0, 0, picture);
  test::PumpFor(100);
  const TBitmap shot = test::CaptureScreen(TRect{20, 30, 172, 142});
  TBitmap expected(152, 112);
  for (int32_t y = 0; y < 112; ++y) {
    std::copy_n(picture.ScanLine(y), 152 * 3, expected.ScanLine(y));
  }
  EXPECT_EQ(gdi::FirstPixelDifference(shot, expected), "");
  ShowWindow(host, SW_HIDE);
  EXPECT_FALSE(preview.IsVisible());
  DestroyWindow(host);
  EXPECT_FALSE(preview.Exists());
}

}  // namespace
}  // namespace tovrin
