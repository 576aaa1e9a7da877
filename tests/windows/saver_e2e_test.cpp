// The real screen saver under Windows (Wine): a program built by tovrin-pack from the engine,
// real JPEG pictures, two WAV sounds and a settings file, started with each mode switch by this
// driver and checked from outside, by what reaches the screen, the files it leaves, the
// system-wide flag, the libraries it calls and the windows it creates. Real input goes through
// the system's queue. Odd desks: a folder, a saver name and a temporary folder with letters
// outside the ANSI code page; a winmm.dll planted beside the saver (test_planted_library.cpp).
//
// Stand-ins: PASSWORD.CPL and MPR.DLL of our own (test_password_libraries.cpp) are placed in the
// system directory for the password tests; the sounds play on the wave device Wine provides over
// ALSA, which the test stage sends to a file (TOVRIN_ALSA_FILE, see scripts/windows-test.sh), so
// the samples that were played can be read back. Screenshots of each mode are written to
// TOVRIN_SHOTS_DIR (default: shots/ here) and named in the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "e2e_process.h"
#include "e2e_screen.h"
#include "gfx/draw.h"
#include "gfx/jpeg_decoder.h"
#include "gfx/stretch.h"
#include "jpeg_maker.h"
#include "saver_builder.h"
#include "screen_capture.h"
#include "system_settings.h"

namespace fs = std::filesystem;

namespace tovrin {
namespace {

using namespace test;

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The whole primary screen, kept with the log.
void KeepScreenshot(const std::string& name) {
  test::KeepScreenshot(name,
                       TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

// The system-wide screen-saver-running flag, asked by a fresh process (see test_saver_flag.cpp).
bool ScreenSaverRunningFlag() {
  return RunToEnd("\"" + WindowsPath(TOVRIN_TEST_SAVER_FLAG) + "\"") == 1;
}

// A picture with structure in both directions (quadrants of different colours, a gradient and
// a diagonal), so that a wrong place, scale or channel order shows.
std::vector<uint8_t> PictureJpeg(int width, int height, uint32_t tint) {
  return testing::MakeJpeg(width, height, testing::TJpegKind::Colour, [=](int x, int y) {
    const uint32_t r = (x * 255 / width) ^ (tint & 0xFF);
    const uint32_t g = (y * 255 / height) ^ ((tint >> 8) & 0xFF);
    const uint32_t b = ((x < width / 2) != (y < height / 2) ? 200 : 40) ^ (tint >> 16);
    return (r << 16) | (g << 8) | (std::abs(x - y) < 6 ? 255 : b);
  });
}

// A registry value for one test, removed afterwards (with the key, when it made the key).
class TRegistryValue {
 public:
  TRegistryValue(HKEY root, const std::string& key, const char* name, const std::string& text)
      : FRoot(root), FKey(key) {
    HKEY handle;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        &disposition) != ERROR_SUCCESS) {
      return;
    }
    FCreated = disposition == REG_CREATED_NEW_KEY;
    RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(handle);
    FName = name ? name : "";
  }
  ~TRegistryValue() {
    HKEY handle;
    if (RegOpenKeyExA(FRoot, FKey.c_str(), 0, KEY_WRITE, &handle) == ERROR_SUCCESS) {
      RegDeleteValueA(handle, FName.empty() ? nullptr : FName.c_str());
      RegCloseKey(handle);
    }
    if (FCreated) RegDeleteKeyA(FRoot, FKey.c_str());
  }
  TRegistryValue(const TRegistryValue&) = delete;
  TRegistryValue& operator=(const TRegistryValue&) = delete;

 private:
  HKEY FRoot;
  std::string FKey;
  std::string FName;
  bool FCreated = false;
};

// A registry key made for one test and deleted afterwards with everything below it. values are
// (subkey, name, text) triples below it; an empty name is the key's default value.
class TRegistryTree {
 public:
  struct TValue {
    std::string Subkey;
    std::string Name;
    std::string Text;
  };
  TRegistryTree(HKEY root, std::string key, const std::vector<TValue>& values)
      : FRoot(root), FKey(std::move(key)) {
    for (const TValue& v : values) {
      const std::string path = v.Subkey.empty() ? FKey : FKey + "\\" + v.Subkey;
      HKEY handle;
      if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                          nullptr) != ERROR_SUCCESS) {
        return;
      }
      RegSetValueExA(handle, v.Name.empty() ? nullptr : v.Name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(v.Text.c_str()),
                     static_cast<DWORD>(v.Text.size() + 1));
      RegCloseKey(handle);
    }
    Ok = true;
  }
  ~TRegistryTree() { RegDeleteTreeA(FRoot, FKey.c_str()); }
  TRegistryTree(const TRegistryTree&) = delete;
  TRegistryTree& operator=(const TRegistryTree&) = delete;
  bool Ok = false;

 private:
  HKEY FRoot;
  std::string FKey;
};

constexpr char kMovieControlKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

class SaverE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Dir = fs::current_path() / "saver_e2e";
    std::error_code ec;
    fs::remove_all(Dir, ec);
    fs::create_directories(Dir);
    Picture1 = PictureJpeg(640, 480, 0);
    WriteFile(Dir / "harbour.jpg", Picture1);
    WriteFile(Dir / "pier.jpg", PictureJpeg(480, 360, 0x305070));
    // Sounds told apart by their sample values: a from 1000 up, b from -9000 up.
    WriteFile(Dir / "a.wav", testing::MakeWave(300, 1000));
    WriteFile(Dir / "b.wav", testing::MakeWave(300, -9000));
    std::ofstream ini(Dir / "settings.ini");
    ini << "[Settings]\nTitle=Harbour\nAuthor=Ann Example\nEmail=mailto:ann@example.org\n"
           "Web=https://example.org/harbour\n";
    ini.close();
    Saver = (Dir / "Harbour.scr").string();
    const std::string pack = WindowsPath(TOVRIN_PACK_EXE);
    const std::string command =
        "\"" + pack + "\" build --engine \"" + WindowsPath(TOVRIN_ENGINE_EXE) + "\" -o \"" + Saver +
        "\" --settings \"" + (Dir / "settings.ini").string() + "\" --interval 600000 --sound \"" +
        (Dir / "a.wav").string() + "\" --sound \"" + (Dir / "b.wav").string() + "\" \"" +
        (Dir / "harbour.jpg").string() + "\" \"" + (Dir / "pier.jpg").string() + "\"";
    BuildStatus = RunToEnd(command);

    // A movie show: two movies of the stand-in control's kind, no pictures, in a folder of its
    // own (its tests put a language file beside it).
    MovieDir = Dir / "movies";
    fs::create_directories(MovieDir);
    std::ofstream(MovieDir / "m0.swf") << "FWS TOVRIN-TEST-MOVIE frames=12 color=FF0000";
    std::ofstream(MovieDir / "m1.swf") << "FWS TOVRIN-TEST-MOVIE frames=12 color=0000FF";
    MovieSaver = (MovieDir / "Movies.scr").string();
    MovieBuildStatus = RunToEnd("\"" + pack + "\" build --engine \"" +
                                WindowsPath(TOVRIN_ENGINE_EXE) + "\" -o \"" + MovieSaver +
                                "\" --kind flash --movie \"" + (MovieDir / "m0.swf").string() +
                                "\" --movie \"" + (MovieDir / "m1.swf").string() + "\"");
  }

  void SetUp() override {
    ASSERT_EQ(BuildStatus, 0) << "tovrin-pack could not build the saver";
    ASSERT_TRUE(fs::exists(Saver));
    std::error_code ec;
    fs::remove(Dir / "CONTROL.INI", ec);
    fs::remove(Dir / "calls.log", ec);
    RunToEnd("\"" + WindowsPath(TOVRIN_TEST_SAVER_FLAG) + "\" 0");
  }

  std::string Command(const std::string& args) const { return "\"" + Saver + "\" " + args; }

  // The frame the show puts on the screen for the first picture: centred at its own size on
  // black, as decoded by the engine's own decoder.
  static TBitmap FirstFrame() {
    const int32_t w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    TBitmap frame(w, h);
    const TBitmap picture = DecodeJPEG(Picture1.data(), Picture1.size());
    Draw(frame, (w - picture.Width()) / 2, (h - picture.Height()) / 2, picture);
    return frame;
  }

  static TRect ScreenRect() {
    return TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }

  // Starts the show and waits until it covers the screen with the first picture.
  std::unique_ptr<TProcess> StartShow(const std::map<std::string, std::string>& env = {}) {
    auto show = std::make_unique<TProcess>(Command("/s"), env);
    EXPECT_TRUE(show->Started());
    const HWND window = WaitForWindow(show->Id(), "TovrinForm", kStartMs);
    EXPECT_NE(window, nullptr) << "the show window did not appear";
    const TBitmap expected = FirstFrame();
    EXPECT_TRUE(WaitForScreen(ScreenRect(), expected, kStartMs))
        << "the first picture did not reach the screen; largest difference "
        << MaxChannelDifference(CaptureScreen(ScreenRect()), expected);
    return show;
  }

  // True when process is still running after ms more milliseconds.
  static bool StillRunningAfter(TProcess& process, uint32_t ms) { return !process.WaitForEnd(ms); }

  static fs::path Dir;
  static std::string Saver;
  static std::vector<uint8_t> Picture1;
  static int BuildStatus;
  static fs::path MovieDir;
  static std::string MovieSaver;
  static int MovieBuildStatus;
};

fs::path SaverE2E::Dir;
std::string SaverE2E::Saver;
std::vector<uint8_t> SaverE2E::Picture1;
int SaverE2E::BuildStatus = -1;
fs::path SaverE2E::MovieDir;
std::string SaverE2E::MovieSaver;
int SaverE2E::MovieBuildStatus = -1;

// ---- The program file

TEST_F(SaverE2E, TheEngineCarriesItsIconVersionAndADpiAwareManifest) {
  HMODULE engine = LoadLibraryExA(WindowsPath(TOVRIN_ENGINE_EXE).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(engine, nullptr);
  auto resource = [&](LPCSTR type, LPCSTR name) {
    HRSRC found = FindResourceA(engine, name, type);
    if (!found) return std::string();
    HGLOBAL data = LoadResource(engine, found);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return bytes ? std::string(bytes, SizeofResource(engine, found)) : std::string();
  };
  const std::string manifest = resource(MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1));
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_FALSE(resource(MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(1)).empty()) << "an icon";
  EXPECT_NE(resource(MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1)).find("F\0i\0l\0e\0V"),
            std::string::npos)
      << "version information";
  FreeLibrary(engine);
}

// ---- Preview

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // what the preview drew stays
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

TEST_F(SaverE2E, PreviewDrawsTheFirstPictureIntoTheHostUntilTheHostIsHidden) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = HostProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TovrinTestPreviewHost";
  RegisterClassA(&wc);
  // A top-level host: Wine does not show another process's drawing in a child window.
  const TRect place{300, 200, 452, 312};  // 152 x 112, the size of the system's preview
  HWND host = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE,
                              place.Left, place.Top, place.Width(), place.Height(), nullptr,
                              nullptr, wc.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  PumpFor(200);

  // The preview stretches the first picture to one more than the window in each direction,
  // decoded at the smallest reduced scale that covers that.
  const TBitmap picture =
      DecodeJPEGCovering(Picture1.data(), Picture1.size(), place.Width() + 1, place.Height() + 1);
  TBitmap drawn(place.Width() + 1, place.Height() + 1);
  StretchDrawGraphic(drawn, drawn.BoundsRect(), picture);
  TBitmap expected(place.Width(), place.Height());
  Draw(expected, 0, 0, drawn);

  TProcess preview(Command("/p " + std::to_string(reinterpret_cast<uintptr_t>(host))));
  ASSERT_TRUE(preview.Started());
  EXPECT_TRUE(WaitForScreen(place, expected, kStartMs))
      << "largest difference " << MaxChannelDifference(CaptureScreen(place), expected);
  KeepScreenshot("preview");
  EXPECT_TRUE(ProcessWindows(preview.Id()).empty()) << "the preview shows no window of its own";

  // Idle while the host shows it: the waits block.
  const double cpuBefore = preview.CpuMs();
  PumpFor(2000);
  const double cpu = preview.CpuMs() - cpuBefore;
  std::printf("figure: preview idle CPU %.1f ms in 2000 ms\n", cpu);
  EXPECT_LT(cpu, 200.0) << "the preview must not keep a core busy";
  EXPECT_TRUE(preview.Running());

  ShowWindow(host, SW_HIDE);
  EXPECT_TRUE(preview.WaitForEnd(kEndMs)) << "hiding the host ends the preview";
  EXPECT_EQ(preview.ExitCode(), 0u);
  DestroyWindow(host);
}

// ---- Show

TEST_F(SaverE2E, ShowCoversTheScreenRunsAloneAndCleansUpAfterAKey) {
  // Muted, so that the figure of processor use between pictures is the show's own.
  std::ofstream(Dir / "CONTROL.INI") << "[Setup]\nmute=1\n";
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(sizeof temp, temp);
  std::set<fs::path> before;
  for (const auto& entry : fs::directory_iterator(temp)) before.insert(entry.path());

  std::unique_ptr<TProcess> show = StartShow();
  KeepScreenshot("show");
  const std::vector<HWND> windows = ProcessWindows(show->Id(), "TovrinForm");
  ASSERT_EQ(windows.size(), 1u);
  RECT r;
  GetWindowRect(windows[0], &r);
  EXPECT_EQ((TRect{r.left, r.top, r.right, r.bottom}), ScreenRect());
  EXPECT_TRUE(GetWindowLongA(windows[0], GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(ScreenSaverRunningFlag());

  // The sounds were extracted into a folder of the show's own under the temporary directory.
  fs::path mediaDir;
  for (const auto& entry : fs::directory_iterator(temp)) {
    if (!before.count(entry.path()) && fs::exists(entry.path() / "a.wav")) mediaDir = entry.path();
  }
  ASSERT_FALSE(mediaDir.empty()) << "no media folder in " << temp;
  EXPECT_TRUE(fs::exists(mediaDir / "b.wav"));

  // The picture has settled; from now on the show only waits for its slide timer.
  PumpFor(1000);
  const double cpuBefore = show->CpuMs();
  PumpFor(5000);
  const double cpu = show->CpuMs() - cpuBefore;
  std::printf("figure: show CPU between pictures %.1f ms in 5000 ms (%.2f%% of a core)\n", cpu,
              cpu / 50.0);
  EXPECT_LT(cpu, 100.0) << "waiting for the next picture must not keep a core busy";

  TProcess second(Command("/s"));
  EXPECT_TRUE(second.WaitForEnd(kEndMs)) << "a second show ends at once";
  EXPECT_EQ(ProcessWindows(show->Id(), "TovrinForm").size(), 1u);
  EXPECT_TRUE(show->Running());

  PressKey('A');
  EXPECT_TRUE(show->WaitForEnd(kEndMs)) << "a key ends the show";
  EXPECT_EQ(show->ExitCode(), 0u);
  EXPECT_FALSE(fs::exists(mediaDir)) << "the media folder is removed";
  EXPECT_FALSE(ScreenSaverRunningFlag()) << "the screen-saver flag is set back";
}

TEST_F(SaverE2E, ShowEndsOnAClick) {
  std::unique_ptr<TProcess> show = StartShow();
  ClickMouse();
  EXPECT_TRUE(show->WaitForEnd(kEndMs));
  EXPECT_FALSE(ScreenSaverRunningFlag());
}

TEST_F(SaverE2E, MouseMovesEndTheShowOnlyWhenBothAxesMoveMoreThanTwoPixels) {
  // The first move the show sees only sets its anchor. Wine sends one itself when a window
  // appears under the cursor; the moves below give the same outcome whether the anchor is p0
  // (Wine's move) or p0 + (0, 1) (the first move here).
  const int32_t x0 = 500, y0 = 400;
  SetCursorPos(x0, y0);
  std::unique_ptr<TProcess> show = StartShow();
  struct TMove {
    int32_t Dx, Dy;
    const char* What;
  } const quiet[] = {
      {0, 1, "the first move"},
      {2, 3, "two pixels on both axes"},
      {60, 1, "sixty pixels along one axis"},
      {0, 1, "back"},
  };
  for (const TMove& move : quiet) {
    MoveMouseTo(x0 + move.Dx, y0 + move.Dy);
    EXPECT_TRUE(StillRunningAfter(*show, 700)) << move.What << " must not end the show";
  }
  MoveMouseTo(x0 + 3, y0 + 4);
  EXPECT_TRUE(show->WaitForEnd(kEndMs)) << "three pixels on both axes end the show";
}

// ---- Password

TEST_F(SaverE2E, ARefusedPasswordKeepsTheShowAndTheNextFiveMovesAreIgnored) {
  TSystemFile library(TOVRIN_TEST_PASSWORD_CPL, "PASSWORD.CPL");
  ASSERT_TRUE(library.Ok);
  const DWORD one = 1;
  TDesktopValue usePassword("ScreenSaveUsePassword", REG_DWORD, &one, sizeof one);
  const fs::path log = Dir / "calls.log";
  const int32_t x0 = 200, y0 = 150;
  SetCursorPos(x0, y0);
  std::unique_ptr<TProcess> show =
      StartShow({{"TOVRIN_TEST_VERIFIER", "refuse"}, {"TOVRIN_TEST_LOG", log.string()}});
  MoveMouseTo(x0, y0 + 1);  // the anchor, if Wine did not set it
  PumpFor(300);

  PressKey('A');
  EXPECT_TRUE(PumpUntil([&] { return ReadLines(log).size() == 1; }, kEndMs));
  EXPECT_TRUE(StillRunningAfter(*show, 700)) << "a refused password keeps the show";
  EXPECT_EQ(ReadLines(log), std::vector<std::string>{"VerifyScreenSavePwd TovrinForm refuse"});
  KeepScreenshot("show-password-refused");

  for (int i = 1; i <= 5; ++i) {
    MoveMouseTo(x0 + 40 * i, y0 + 40 * i);
    PumpFor(250);
  }
  EXPECT_TRUE(StillRunningAfter(*show, 500));
  EXPECT_EQ(ReadLines(log).size(), 1u) << "five moves after the request are ignored";

  MoveMouseTo(x0 + 240, y0 + 240);
  EXPECT_TRUE(PumpUntil([&] { return ReadLines(log).size() == 2; }, kEndMs))
      << "the sixth move asks again";
  EXPECT_TRUE(show->Running());
}

TEST_F(SaverE2E, AnAcceptedPasswordEndsTheShow) {
  TSystemFile library(TOVRIN_TEST_PASSWORD_CPL, "PASSWORD.CPL");
  ASSERT_TRUE(library.Ok);
  const DWORD one = 1;
  TDesktopValue usePassword("ScreenSaveUsePassword", REG_DWORD, &one, sizeof one);
  const fs::path log = Dir / "calls.log";
  std::unique_ptr<TProcess> show =
      StartShow({{"TOVRIN_TEST_VERIFIER", "accept"}, {"TOVRIN_TEST_LOG", log.string()}});
  PressKey(0x20 /* VK_SPACE */);
  EXPECT_TRUE(show->WaitForEnd(kEndMs));
  EXPECT_EQ(ReadLines(log), std::vector<std::string>{"VerifyScreenSavePwd TovrinForm accept"});
  EXPECT_FALSE(ScreenSaverRunningFlag());
}

TEST_F(SaverE2E, APasswordSettingStoredAsTextIsNoPassword) {
  TSystemFile library(TOVRIN_TEST_PASSWORD_CPL, "PASSWORD.CPL");
  ASSERT_TRUE(library.Ok);
  const char text[] = "1";
  TDesktopValue usePassword("ScreenSaveUsePassword", REG_SZ, text, sizeof text);
  const fs::path log = Dir / "calls.log";
  std::unique_ptr<TProcess> show =
      StartShow({{"TOVRIN_TEST_VERIFIER", "refuse"}, {"TOVRIN_TEST_LOG", log.string()}});
  PressKey('A');
  EXPECT_TRUE(show->WaitForEnd(kEndMs)) << "the show ends without asking";
  EXPECT_TRUE(ReadLines(log).empty());
}

TEST_F(SaverE2E, ChangePasswordCallsTheSystemEntryAndReturns) {
  TSystemFile library(TOVRIN_TEST_MPR_DLL, "mpr.dll");
  ASSERT_TRUE(library.Ok);
  const fs::path log = Dir / "calls.log";
  // Our MPR.DLL instead of Wine's own, for this program only (Wine's per-program overrides).
  TRegistryValue native(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Harbour.scr\\DllOverrides",
                        "mpr", "native");
  TProcess change(Command("/a 4660"), {{"TOVRIN_TEST_LOG", log.string()}});
  ASSERT_TRUE(change.Started());
  EXPECT_TRUE(change.WaitForEnd(kStartMs));
  EXPECT_EQ(change.ExitCode(), 0u);
  EXPECT_EQ(ReadLines(log), std::vector<std::string>{"PwdChangePasswordA SCRSAVE 4660 0 0"});
}

// ---- Setup

// Clicks a button of another program's window (without waiting for what the click starts).
void Click(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
}

// The child window of dialog whose text is text, or nullptr.
HWND ChildWithText(HWND dialog, const std::string& text) {
  HWND found = nullptr;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowText(child) == text) found = child;
  }
  return found;
}

TEST_F(SaverE2E, SetupShowsThePackageTextsAndWritesEachChoiceOnlyAfterAClick) {
  {
    TProcess setup(Command("/c"));
    HWND dialog = WaitForWindow(setup.Id(), "TovrinSetup", kStartMs);
    ASSERT_NE(dialog, nullptr);
    PumpFor(500);
    KeepScreenshot("setup");
    EXPECT_EQ(WindowText(dialog), "Setup [Harbour]");
    for (const char* text :
         {"Title:Harbour", "Author:Ann Example", "mailto:ann@example.org",
          "https://example.org/harbour", "Mute music", "Pictures on every monitor", "&Ok"}) {
      EXPECT_NE(ChildWithText(dialog, text), nullptr) << text;
    }
    HWND box = ChildWithText(dialog, "Mute music");
    HWND every = ChildWithText(dialog, "Pictures on every monitor");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(every, nullptr);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(every, BM_GETCHECK, 0, 0), BST_CHECKED) << "checked by default";
    // Tab runs from the mute box to the every-monitor box, then to OK (the links take no focus).
    EXPECT_EQ(GetNextDlgTabItem(dialog, box, FALSE), every);
    EXPECT_EQ(GetNextDlgTabItem(dialog, every, FALSE), ChildWithText(dialog, "&Ok"));
    SetForegroundWindow(dialog);
    PumpFor(200);
    PressKey(VK_RETURN);
    EXPECT_TRUE(setup.WaitForEnd(kEndMs)) << "Enter presses OK";
    EXPECT_FALSE(fs::exists(Dir / "CONTROL.INI")) << "OK without a click writes nothing";
  }
  {
    TProcess setup(Command("/c"));
    HWND dialog = WaitForWindow(setup.Id(), "TovrinSetup", kStartMs);
    ASSERT_NE(dialog, nullptr);
    HWND box = ChildWithText(dialog, "Mute music");
    HWND every = ChildWithText(dialog, "Pictures on every monitor");
    ASSERT_NE(box, nullptr);
    ASSERT_NE(every, nullptr);
    Click(box);
    Click(every);
    EXPECT_TRUE(PumpUntil(
        [&] {
          return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED &&
                 SendMessageA(every, BM_GETCHECK, 0, 0) == BST_UNCHECKED;
        },
        kEndMs));
    Click(ChildWithText(dialog, "&Ok"));
    EXPECT_TRUE(setup.WaitForEnd(kEndMs));
    const std::string ini = (Dir / "CONTROL.INI").string();
    EXPECT_EQ(GetPrivateProfileIntA("Setup", "mute", -1, ini.c_str()), 1);
    EXPECT_EQ(GetPrivateProfileIntA("Setup", "everymonitor", -1, ini.c_str()), 0);
  }
}

// ---- Sound

// The sounds played, in order, read back from the samples the wave device received: runs of a
// (1000 up) and b (-9000 up), each with its length in samples; silence left out, anything else
// is '?'.
std::vector<std::pair<char, size_t>> PlayedSounds(const fs::path& raw) {
  const std::vector<uint8_t> bytes = ReadFile(raw);
  std::vector<std::pair<char, size_t>> runs;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const int16_t sample = static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8));
    // The device fills up its last period after a sound with silence.
    if (sample == 0) continue;
    const char sound = sample >= 1000 && sample < 2000     ? 'a'
                       : sample >= -9000 && sample < -8000 ? 'b'
                                                           : '?';
    if (runs.empty() || runs.back().first != sound) runs.emplace_back(sound, 0);
    ++runs.back().second;
  }
  return runs;
}

TEST_F(SaverE2E, TheSoundsPlayOneAfterAnotherThroughTheNotifyChain) {
  const fs::path raw = EmptySoundTranscript();
  if (raw.empty()) GTEST_SKIP() << "TOVRIN_ALSA_FILE is not set: nothing to listen with";
  std::unique_ptr<TProcess> show = StartShow();
  PumpUntil([&] { return PlayedSounds(raw).size() >= 4; }, 6000);
  PressKey('A');
  EXPECT_TRUE(show->WaitForEnd(kEndMs));
  const auto runs = PlayedSounds(raw);
  ASSERT_GE(runs.size(), 4u) << "fewer than four sounds were played";
  // The last one may have been cut off when the show ended.
  for (size_t i = 0; i + 1 < runs.size(); ++i) {
    EXPECT_EQ(runs[i].first, i % 2 == 0 ? 'a' : 'b') << "sound " << i;
    EXPECT_EQ(runs[i].second, 2400u) << "sound " << i << " played whole";
  }
}

TEST_F(SaverE2E, AStoredMuteSilencesTheShow) {
  std::ofstream(Dir / "CONTROL.INI") << "[Setup]\nmute=1\n";
  const fs::path raw = EmptySoundTranscript();
  if (raw.empty()) GTEST_SKIP() << "TOVRIN_ALSA_FILE is not set: nothing to listen with";
  std::unique_ptr<TProcess> show = StartShow();
  PumpFor(1500);
  PressKey('A');
  EXPECT_TRUE(show->WaitForEnd(kEndMs));
  EXPECT_TRUE(ReadFile(raw).empty()) << "a muted show plays nothing";
}

// ---- Movies

// The "Movie ..." lines of a stand-in control's log, in order.
std::vector<std::string> MoviesLoaded(const fs::path& log) {
  std::vector<std::string> movies;
  for (const std::string& line : ReadLines(log)) {
    if (line.rfind("Movie ", 0) == 0) movies.push_back(line.substr(6));
  }
  return movies;
}

TEST_F(SaverE2E, MoviesFollowEachOtherAtTheirLastFrameAndTheInputHookEndsTheShow) {
  ASSERT_EQ(MovieBuildStatus, 0);
  const std::string dll = WindowsPath(TOVRIN_TEST_MOVIE_CONTROL);
  TRegistryTree control(
      HKEY_CLASSES_ROOT, kMovieControlKey,
      {{"InprocServer32", "", dll}, {"InprocServer32", "ThreadingModel", "Apartment"}});
  ASSERT_TRUE(control.Ok);
  const fs::path log = MovieDir / "calls.log";
  std::error_code ec;
  fs::remove(log, ec);
  SetCursorPos(700, 500);
  TProcess show("\"" + MovieSaver + "\" /s", {{"TOVRIN_TEST_LOG", log.string()}});
  ASSERT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);

  // Each movie lasts 1.2 s; the show looks once a second whether the last frame is reached.
  EXPECT_TRUE(PumpUntil([&] { return MoviesLoaded(log).size() >= 3; }, 15000));
  const std::vector<std::string> movies = MoviesLoaded(log);
  ASSERT_GE(movies.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(movies.begin(), movies.begin() + 3),
            (std::vector<std::string>{"m0.swf", "m1.swf", "m0.swf"}));
  const std::vector<std::string> calls = ReadLines(log);
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 3),
            (std::vector<std::string>{"Stop", "Movie m0.swf", "Play"}));
  // The control covers the screen in the movie's colour (red or blue).
  const TColor centre =
      CaptureScreen(ScreenRect()).Pixel(ScreenRect().Right / 2, ScreenRect().Bottom / 2);
  EXPECT_TRUE(centre == RGB(255, 0, 0) || centre == RGB(0, 0, 255)) << std::hex << centre;
  KeepScreenshot("movie");
  EXPECT_TRUE(ScreenSaverRunningFlag());

  // The click goes to the control's own window, which keeps it: only the input hook sees it.
  ClickMouse();
  EXPECT_TRUE(show.WaitForEnd(kEndMs)) << "the input hook ends the show";
  EXPECT_FALSE(ScreenSaverRunningFlag()) << "the close path sets the flag back";
}

TEST_F(SaverE2E, AMissingMovieControlOffersThePlayerAndEnds) {
  ASSERT_EQ(MovieBuildStatus, 0);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, kMovieControlKey);
  // The download address comes from the language file: a document of a kind the test's own
  // handler opens (it records what it was asked to open).
  const fs::path address = MovieDir / "player.tovrin-test";
  std::ofstream(address) << "the movie player's download page\n";
  std::ofstream(MovieDir / "tovrin.ini") << "[Language]\nDownloadURL=" << address.string() << "\n";
  const std::string recorder = "\"" + WindowsPath(TOVRIN_TEST_URL_RECORDER) + "\" \"%1\"";
  TRegistryTree kind(HKEY_CLASSES_ROOT, ".tovrin-test", {{"", "", "TovrinTest.Address"}});
  TRegistryTree handler(HKEY_CLASSES_ROOT, "TovrinTest.Address",
                        {{"shell\\open\\command", "", recorder}});
  ASSERT_TRUE(kind.Ok && handler.Ok);
  const fs::path log = MovieDir / "calls.log";
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "answered Yes" : "answered No");
    std::error_code ec;
    fs::remove(log, ec);
    TProcess show("\"" + MovieSaver + "\" /s", {{"TOVRIN_TEST_LOG", log.string()}});
    HWND box = WaitForWindow(show.Id(), "#32770", kStartMs);
    ASSERT_NE(box, nullptr) << "the missing-control message";
    PumpFor(300);
    EXPECT_NE(ChildWithText(box, "Please install the Macromedia Flash Player ActiveX control."),
              nullptr);
    if (yes) KeepScreenshot("movie-control-missing");
    HWND button = ChildWithText(box, yes ? "&Yes" : "&No");
    ASSERT_NE(button, nullptr);
    // The answer as the button gives it to the message box.
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(yes ? IDYES : IDNO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    EXPECT_TRUE(show.WaitForEnd(kEndMs)) << "the program ends whatever the answer";
    if (yes) {
      EXPECT_TRUE(PumpUntil([&] { return !ReadLines(log).empty(); }, kEndMs));
      EXPECT_EQ(ReadLines(log), std::vector<std::string>{"Open " + address.string()});
    } else {
      PumpFor(1000);
      EXPECT_TRUE(ReadLines(log).empty()) << "No opens nothing";
    }
  }
  std::error_code ec;
  fs::remove(MovieDir / "tovrin.ini", ec);
}

// ---- Odd desks

// The libraries named in a program file's import table, read from the file (its sections placed
// by hand); empty when the file is not a 64-bit program.
std::vector<std::string> ImportedLibraries(const fs::path& program) {
  const std::vector<uint8_t> bytes = ReadFile(program);
  auto read = [&bytes](size_t offset, void* to, size_t size) {
    if (offset > bytes.size() || bytes.size() - offset < size) return false;
    std::memcpy(to, bytes.data() + offset, size);
    return true;
  };
  IMAGE_DOS_HEADER dos;
  IMAGE_NT_HEADERS64 nt;
  if (!read(0, &dos, sizeof dos) || !read(static_cast<size_t>(dos.e_lfanew), &nt, sizeof nt) ||
      nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR64_MAGIC) {
    return {};
  }
  std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
  const size_t sectionTable = static_cast<size_t>(dos.e_lfanew) +
                              offsetof(IMAGE_NT_HEADERS64, OptionalHeader) +
                              nt.FileHeader.SizeOfOptionalHeader;
  if (!read(sectionTable, sections.data(), sections.size() * sizeof(IMAGE_SECTION_HEADER))) {
    return {};
  }
  auto fileOffset = [&sections](DWORD rva) -> size_t {
    for (const IMAGE_SECTION_HEADER& section : sections) {
      const DWORD size = std::max(section.SizeOfRawData, section.Misc.VirtualSize);
      if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size) {
        return rva - section.VirtualAddress + section.PointerToRawData;
      }
    }
    return SIZE_MAX;
  };
  const IMAGE_DATA_DIRECTORY imports =
      nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  std::vector<std::string> names;
  for (size_t at = fileOffset(imports.VirtualAddress);; at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    if (!read(at, &descriptor, sizeof descriptor) || descriptor.Name == 0) break;
    std::string name;
    for (size_t c = fileOffset(descriptor.Name); c < bytes.size() && bytes[c] != 0; ++c) {
      name += static_cast<char>(std::tolower(bytes[c]));
    }
    names.push_back(name);
  }
  return names;
}

TEST_F(SaverE2E, TheEngineImportsOnlyTheSystemsKnownLibraries) {
  // Windows' KnownDLLs: always taken from the system folder, whatever lies beside a program. Any
  // other library a program imports is looked for beside it first.
  const std::set<std::string> known = {
      "advapi32.dll", "clbcatq.dll",  "combase.dll",  "comdlg32.dll", "coml2.dll",    "difxapi.dll",
      "gdi32.dll",    "gdiplus.dll",  "imagehlp.dll", "imm32.dll",    "kernel32.dll", "msctf.dll",
      "msvcrt.dll",   "normaliz.dll", "nsi.dll",      "ole32.dll",    "oleaut32.dll", "psapi.dll",
      "rpcrt4.dll",   "sechost.dll",  "setupapi.dll", "shcore.dll",   "shell32.dll",  "shlwapi.dll",
      "user32.dll",   "wldap32.dll",  "ws2_32.dll"};
  const std::vector<std::string> libraries = ImportedLibraries(WindowsPath(TOVRIN_ENGINE_EXE));
  ASSERT_FALSE(libraries.empty()) << "no import table read";
  for (const std::string& name : libraries) {
    EXPECT_TRUE(known.count(name)) << name << " is no known DLL: one beside the saver would run";
  }
}

TEST_F(SaverE2E, ALibraryPlantedBesideTheSaverIsNeverLoaded) {
  const fs::path folder = Dir / "planted";
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  const fs::path saver = folder / "Planted.scr";
  fs::copy_file(Saver, saver);
  fs::copy_file(WindowsPath(TOVRIN_TEST_PLANTED_LIBRARY), folder / "winmm.dll");
  const fs::path marker = folder / "winmm.dll.loaded";
  // Wine prefers its own libraries; told to take one from the program's folder first, it looks
  // for libraries as Windows does.
  TRegistryValue native(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Planted.scr\\DllOverrides",
                        "winmm", "native,builtin");
  const fs::path raw = EmptySoundTranscript();
  TProcess show("\"" + saver.string() + "\" /s", {{"WINEDLLOVERRIDES", "winmm=n,b"}});
  ASSERT_TRUE(show.Started());
  EXPECT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);
  EXPECT_TRUE(WaitForScreen(ScreenRect(), FirstFrame(), kStartMs)) << "the show runs";
  if (!raw.empty()) {
    EXPECT_TRUE(PumpUntil([&] { return !PlayedSounds(raw).empty(); }, 6000))
        << "the sounds play through the system's own winmm";
  }
  PressKey('A');
  EXPECT_TRUE(show.WaitForEnd(kEndMs));
  EXPECT_FALSE(fs::exists(marker)) << "the planted winmm.dll was loaded";
}

TEST_F(SaverE2E, ASaverInAFolderOutsideTheAnsiCodePageShowsItsPicturesAndPlaysItsSounds) {
  // Letters that Windows-1252 has no byte for, in the folder, the saver's name and the temporary
  // folder (the test stage runs Wine in a UTF-8 locale, which passes such names through).
  const fs::path folder = Dir / Wide("Łukasz");
  const fs::path temp = folder / Wide("Tymczasowe ćma");
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(temp);
  const fs::path saver = folder / Wide("Ćwiczenia żółw.scr");
  fs::copy_file(Saver, saver);
  const std::string tempDir = Utf8(temp.wstring());
  const std::map<std::string, std::string> env = {{"TMP", tempDir}, {"TEMP", tempDir}};
  const fs::path raw = EmptySoundTranscript();

  // The media folder the show makes in the temporary folder, once the sounds are in it.
  auto mediaFolder = [&temp] {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(temp, error)) {
      if (fs::exists(entry.path() / "a.wav") && fs::exists(entry.path() / "b.wav")) {
        return entry.path();
      }
    }
    return fs::path();
  };

  // The settings beside the saver: muted first, then not.
  for (const bool muted : {true, false}) {
    SCOPED_TRACE(muted ? "muted" : "with sound");
    std::ofstream(folder / "CONTROL.INI") << "[Setup]\nmute=" << (muted ? 1 : 0) << "\n";
    if (!raw.empty()) EmptySoundTranscript();
    TProcess show("\"" + Utf8(saver.wstring()) + "\" /s", env);
    ASSERT_TRUE(show.Started());
    EXPECT_NE(WaitForWindow(show.Id(), "TovrinForm", kStartMs), nullptr);
    EXPECT_TRUE(WaitForScreen(ScreenRect(), FirstFrame(), kStartMs))
        << "the first picture did not reach the screen";
    fs::path media;
    EXPECT_TRUE(PumpUntil([&] { return !(media = mediaFolder()).empty(); }, kStartMs))
        << "no media folder with both sounds in " << tempDir;
    if (!raw.empty()) {
      if (muted) {
        PumpFor(1500);
        EXPECT_TRUE(ReadFile(raw).empty()) << "the mute choice beside the saver was not read";
      } else {
        EXPECT_TRUE(PumpUntil([&] { return PlayedSounds(raw).size() >= 2; }, 6000));
        const auto runs = PlayedSounds(raw);
        ASSERT_FALSE(runs.empty()) << "the extracted sound was not played";
        EXPECT_EQ(runs[0].first, 'a');
        EXPECT_EQ(runs[0].second, 2400u) << "the first sound played whole";
      }
    }
    PressKey('A');
    EXPECT_TRUE(show.WaitForEnd(kEndMs));
    if (!media.empty()) {
      EXPECT_FALSE(fs::exists(media)) << "the media folder is removed";
    }
  }
}

// The window classes in a list, for messages.
std::string Classes(const std::vector<std::string>& classes) {
  std::string text;
  for (const std::string& name : classes) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "none" : text;
}

TEST_F(SaverE2E, ModesThatNeedNoWindowCreateNone) {
  TSystemFile library(TOVRIN_TEST_MPR_DLL, "mpr.dll");
  ASSERT_TRUE(library.Ok);
  TRegistryValue native(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Harbour.scr\\DllOverrides",
                        "mpr", "native");
  const fs::path log = Dir / "calls.log";
  struct TCase {
    const char* What;
    std::string Args;
    bool ShowRunning;  // the single-instance lock is held, as by a running show
    std::vector<std::string> Calls;
  } const cases[] = {
      {"password change", "/a 4660", false, {"PwdChangePasswordA SCRSAVE 4660 0 0"}},
      {"preview with a host that is not a number", "/p host", false, {}},
      {"second instance", "/s", true, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    std::error_code ec;
    fs::remove(log, ec);
    std::unique_ptr<void, decltype(&CloseHandle)> lock(
        c.ShowRunning ? CreateSemaphoreA(nullptr, 0, 1, "Harbour.scrSemaphore") : nullptr,
        &CloseHandle);
    ASSERT_EQ(lock != nullptr, c.ShowRunning);
    TProcess run(Command(c.Args), {{"TOVRIN_TEST_LOG", log.string()}}, true);
    ASSERT_TRUE(run.Started());
    TWindowCreations windows(run.Id());
    ASSERT_TRUE(windows.Watching());
    run.Resume();
    EXPECT_TRUE(run.WaitForEnd(kStartMs)) << "the run ends on its own";
    PumpFor(500);  // creation events still on their way
    EXPECT_TRUE(windows.Created().empty()) << "windows created: " << Classes(windows.Created());
    EXPECT_EQ(ReadLines(log), c.Calls);
  }

  // The same watch sees the windows of a mode that needs them.
  TProcess setup(Command("/c"), {}, true);
  ASSERT_TRUE(setup.Started());
  TWindowCreations windows(setup.Id());
  setup.Resume();
  const auto created = [&windows](const char* name) {
    const std::vector<std::string>& classes = windows.Created();
    return std::find(classes.begin(), classes.end(), name) != classes.end();
  };
  EXPECT_TRUE(PumpUntil([&] { return created("TovrinSetup"); }, kStartMs))
      << "windows created: " << Classes(windows.Created());
}

}  // namespace
}  // namespace tovrin
