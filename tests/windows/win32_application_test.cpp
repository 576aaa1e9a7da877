// The Win32 application object: its waits block on the message queue (no busy core), its timers
// keep their intervals on the real clock, posts and synchronize requests from other threads wake
// it (before and after its window exists, which it makes only when first needed), the idle event
// runs when the queue empties, and an error escaping a message goes to the error report instead
// of into the system.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "application_contract.h"
#include "platform/timer.h"
#include "platform/win32/win32_application.h"

namespace tovrin {
namespace {

// Processor time the calling thread has used, in milliseconds.
double ThreadCpuMs() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32 | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

TEST(Win32ApplicationTest, WaitingBlocksWithoutUsingTheProcessor) {
  TWin32Application app;
  app.ProcessMessages();
  const double cpuBefore = ThreadCpuMs();
  const uint32_t start = app.TickCount();
  EXPECT_FALSE(app.WaitMessage(400)) << "nothing was posted";
  const uint32_t waited = app.TickCount() - start;
  EXPECT_GE(waited, 395u);
  EXPECT_LT(waited, 600u);
  EXPECT_LT(ThreadCpuMs() - cpuBefore, 40.0) << "a wait must block, not spin";
}

TEST(Win32ApplicationTest, TimersFireAtTheirIntervalsFromTheMessageLoop) {
  TWin32Application app;
  std::vector<uint32_t> fast, slow;
  const uint32_t start = app.TickCount();
  TTimer a(app), b(app);
  a.SetInterval(40);
  a.SetOnTimer([&] { fast.push_back(app.TickCount() - start); });
  b.SetInterval(100);
  b.SetOnTimer([&] {
    slow.push_back(app.TickCount() - start);
    if (slow.size() == 5) app.Terminate();
  });
  const double cpuBefore = ThreadCpuMs();
  app.Run();
  const uint32_t total = app.TickCount() - start;
  EXPECT_GE(total, 495u);
  EXPECT_LT(total, 800u);
  ASSERT_EQ(slow.size(), 5u);
  EXPECT_GE(slow.front(), 99u);
  // 40 ms steps over about 500 ms: 12, give or take one for scheduling.
  EXPECT_GE(fast.size(), 11u);
  EXPECT_LE(fast.size(), 13u);
  for (size_t i = 1; i < fast.size(); ++i) {
    EXPECT_GE(fast[i] - fast[i - 1], 30u) << "timer events must not pile up, i=" << i;
  }
  EXPECT_LT(ThreadCpuMs() - cpuBefore, 60.0) << "between timer events the loop waits";
}

TEST(Win32ApplicationTest, AnErrorInAMessageIsReportedAndTheQueueGoesOn) {
  TWin32Application app;
  std::vector<std::string> reports;
  app.OnException = [&](const std::string& text) { reports.push_back(text); };
  bool second = false;
  app.Post([] { throw std::runtime_error("Cannot open file x.jpg"); });
  app.Post([&] { second = true; });
  app.ProcessMessages();
  app.ProcessMessages();
  EXPECT_EQ(reports, std::vector<std::string>{"Cannot open file x.jpg"});
  EXPECT_TRUE(second);
}

// The application's window among this thread's windows, or nullptr.
HWND ApplicationWindowOfThisThread() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "TovrinApplication") return TRUE;
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Waits for a post made by another thread while this one blocks; the time the wait took.
uint32_t WaitForPostFromAnotherThread(TWin32Application& app, int& ran) {
  const uint32_t start = app.TickCount();
  std::thread poster([&app, &ran] {
    Sleep(50);
    app.Post([&ran] { ++ran; });
  });
  app.WaitMessage(3000);
  const uint32_t waited = app.TickCount() - start;
  poster.join();
  app.ProcessMessages();
  return waited;
}

TEST(Win32ApplicationTest, TheWindowIsMadeWhenFirstNeededAndPostsWakeTheLoopEitherWay) {
  TWin32Application app;
  int ran = 0;
  EXPECT_LT(WaitForPostFromAnotherThread(app, ran), 1000u) << "the wake reached the thread";
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(ApplicationWindowOfThisThread(), nullptr) << "no window before one is needed";

  const HWND window = app.Handle();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ApplicationWindowOfThisThread(), window);
  EXPECT_EQ(app.Handle(), window) << "made once";
  EXPECT_LT(WaitForPostFromAnotherThread(app, ran), 1000u) << "the wake reached the window";
  EXPECT_EQ(ran, 2);
}

TEST(Win32ApplicationTest, TheTickCountHasMillisecondSteps) {
  // Frames are timed from TickCount: a clock that moves in 15.6 ms steps would stretch a 40 ms
  // frame to 46.8 ms. The clock and its resolution come from winmm, from the system folder.
  TWin32Application app;
  EXPECT_TRUE(app.Winmm().Loaded());
  const uint32_t first = app.TickCount();
  uint32_t next = first;
  while (next == first) next = app.TickCount();
  EXPECT_LE(next - first, 2u);
}

// A wave device's driver stays loaded after the device closes: its playback thread may still be
// finishing, and code unmapped under it faults.
TEST(Win32ApplicationTest, AClosedWaveDeviceLeavesItsDriverLoaded) {
  wchar_t folder[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
  const std::wstring path = std::wstring(folder) + L"tovrin-pin-test.wav";
  {
    // A second of 8 kHz 8-bit mono silence.
    const uint32_t samples = 8000;
    std::string wave = "RIFF";
    auto put32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) wave += static_cast<char>(v >> (8 * i));
    };
    auto put16 = [&](uint16_t v) {
      for (int i = 0; i < 2; ++i) wave += static_cast<char>(v >> (8 * i));
    };
    put32(36 + samples);
    wave += "WAVEfmt ";
    put32(16);
    put16(1);  // PCM
    put16(1);
    put32(8000);
    put32(8000);
    put16(1);
    put16(8);
    wave += "data";
    put32(samples);
    wave.append(samples, static_cast<char>(0x80));
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(wave.data(), 1, wave.size(), file);
    fclose(file);
  }
  TWin32Application app;
  MCI_OPEN_PARMSW open{};
  open.lpstrElementName = path.c_str();
  const MCIERROR error = app.Winmm().SendCommand(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_WAIT,
                                                 reinterpret_cast<DWORD_PTR>(&open));
  if (error == 0) {
    ASSERT_NE(GetModuleHandleW(L"mciwave.dll"), nullptr) << "the wave device's driver";
    app.Winmm().SendCommand(open.wDeviceID, MCI_CLOSE, MCI_WAIT, 0);
    EXPECT_NE(GetModuleHandleW(L"mciwave.dll"), nullptr) << "the driver stays after the close";
  } else {
    ADD_FAILURE() << "no wave device opened (error " << error << ")";
  }
  _wremove(path.c_str());
}

}  // namespace
}  // namespace tovrin

namespace tovrin::testing {
namespace {
struct TMakeWin32 {
  static std::unique_ptr<TApplication> Make() { return std::make_unique<TWin32Application>(); }
};
}  // namespace
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, ApplicationContract, TMakeWin32);
}  // namespace tovrin::testing
