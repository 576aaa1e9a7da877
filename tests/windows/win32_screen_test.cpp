// The Win32 screen's monitors: read from the system (the test display's one screen), and a
// display change announced once, from the message loop, whichever of the back end's windows the
// system told and however many messages it sent, and only when the monitors really changed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "no_form_events.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_screen.h"

namespace tovrin {
namespace {

TEST(Win32ScreenTest, TheMonitorsOfTheTestDisplayAreItsOneScreen) {
  TWin32Application app;
  TWin32Screen screen(app);
  const std::vector<TMonitor> monitors = screen.Monitors();
  ASSERT_EQ(monitors.size(), 1u);
  EXPECT_EQ(monitors[0].Bounds, (TRect{0, 0, screen.Width(), screen.Height()}));
}

TEST(Win32ScreenTest, ADisplayChangeIsAnnouncedOnceFromTheLoopWhenTheMonitorsChanged) {
  const std::vector<TMonitor> one{TMonitor{TRect{0, 0, 800, 600}}};
  const std::vector<TMonitor> two{TMonitor{TRect{0, 0, 800, 600}},
                                  TMonitor{TRect{-640, 0, 0, 480}}};
  struct TMessage {
    bool ToForm;  // else to the application's window
    UINT Msg;
    WPARAM WParam;
  };
  struct TCase {
    const char* What;
    std::vector<TMonitor> After;
    std::vector<TMessage> Messages;
    int Expected;
  };
  const TCase cases[] = {
      {"a monitor added", two, {{false, WM_DISPLAYCHANGE, 32}}, 1},
      {"a burst to every window",
       two,
       {{false, WM_DISPLAYCHANGE, 32},
        {true, WM_DISPLAYCHANGE, 32},
        {true, WM_SETTINGCHANGE, SPI_SETWORKAREA},
        {false, WM_DPICHANGED, MAKEWPARAM(144, 144)}},
       1},
      {"told only to a show window", two, {{true, WM_DISPLAYCHANGE, 32}}, 1},
      {"a new work area on the same monitors",
       one,
       {{false, WM_SETTINGCHANGE, SPI_SETWORKAREA}},
       0},
      {"a resolution message that changed nothing", one, {{true, WM_DISPLAYCHANGE, 32}}, 0},
      {"another setting", two, {{false, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER}}, 0},
  };
  for (const TCase& c : cases) {
    TWin32Application app;
    std::vector<TMonitor> desk = one;
    TWin32Screen screen(app, [&desk] { return desk; });
    testing::TNoFormEvents events;
    TWin32FormWindow form(app, screen, events);
    int calls = 0;
    screen.SetOnMonitorsChanged([&] { ++calls; });

    desk = c.After;
    for (const TMessage& m : c.Messages) {
      SendMessageA(m.ToForm ? form.Hwnd() : app.Handle(), m.Msg, m.WParam, 0);
    }
    EXPECT_EQ(calls, 0) << c.What << ": not inside the system's message";
    app.ProcessMessages();
    app.ProcessMessages();
    EXPECT_EQ(calls, c.Expected) << c.What;
  }
}

TEST(Win32ScreenTest, ChangesAfterAnAnnouncementAreComparedWithTheAnnouncedMonitors) {
  TWin32Application app;
  std::vector<TMonitor> desk{TMonitor{TRect{0, 0, 800, 600}}};
  TWin32Screen screen(app, [&desk] { return desk; });
  std::vector<size_t> seen;
  screen.SetOnMonitorsChanged([&] { seen.push_back(screen.Monitors().size()); });
  auto change = [&](std::vector<TMonitor> monitors) {
    desk = std::move(monitors);
    SendMessageA(app.Handle(), WM_DISPLAYCHANGE, 32, 0);
    app.ProcessMessages();
  };
  change({TMonitor{TRect{0, 0, 800, 600}}, TMonitor{TRect{800, 0, 1440, 480}}});
  change({TMonitor{TRect{0, 0, 800, 600}}, TMonitor{TRect{800, 0, 1440, 480}}});
  change({TMonitor{TRect{0, 0, 1024, 768}}});
  EXPECT_EQ(seen, (std::vector<size_t>{2, 1}));

  screen.SetOnMonitorsChanged(nullptr);
  change({TMonitor{TRect{0, 0, 800, 600}}});
  EXPECT_EQ(seen.size(), 2u) << "no handler, no announcement";
}

}  // namespace
}  // namespace tovrin
