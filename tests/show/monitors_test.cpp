// The show on a desk of several monitors: a window on each, the pictures on all of them or on
// the primary one only, input from any of them, and a desk that changes during the show.
#include <filesystem>
#include <fstream>

#include "show_fixture.h"

namespace tovrin::testing {
namespace {

const uint32_t kRed = 0xE02010;
const uint32_t kBlue = 0x1030D0;
const uint32_t kGreen = 0x20C040;

class MonitorsTest : public ShowTest {
 protected:
  MonitorsTest() {
    FSettings.SetlStretch(true);  // every monitor is filled with the picture's flat colour
    FSettings.SetEffectCommaList("4");
  }
  void Choose(bool everyMonitor) {
    std::ofstream(FFolder.Path() / "CONTROL.INI")
        << "[Setup]\neverymonitor=" << (everyMonitor ? 1 : 0) << "\n";
  }
  // Every window lies on its monitor, in the order of the monitors; the primary one's colour is
  // primaryColour, the others' othersColour (all over: corners and middle).
  void ExpectDesk(const std::vector<TRect>& monitors, uint32_t primaryColour,
                  uint32_t othersColour) {
    const std::vector<THeadlessWindow*>& forms = Platform().Forms();
    ASSERT_EQ(forms.size(), monitors.size());
    for (size_t i = 0; i < monitors.size(); ++i) {
      SCOPED_TRACE("monitor " + std::to_string(i));
      const THeadlessWindow& w = *forms[i];
      const TRect& m = monitors[i];
      EXPECT_EQ((TRect{w.Left(), w.Top(), w.Left() + w.ClientWidth(), w.Top() + w.ClientHeight()}),
                m);
      EXPECT_TRUE(w.Visible());
      EXPECT_TRUE(w.Topmost());
      const uint32_t want = i == 0 ? primaryColour : othersColour;
      for (const TPoint p : {TPoint{0, 0}, TPoint{m.Width() - 1, m.Height() - 1},
                             TPoint{m.Width() / 2, m.Height() / 2}}) {
        EXPECT_TRUE(Near(PixelAt(w.Screen(), p.X, p.Y), want))
            << std::hex << PixelAt(w.Screen(), p.X, p.Y) << " at " << std::dec << p.X << ","
            << p.Y;
      }
    }
  }
};

TEST_F(MonitorsTest, EveryMonitorShowsThePictureAtItsOwnSizeOrStaysBlackWhenChosenSo) {
  struct TCase {
    const char* name;
    std::vector<TRect> monitors;
  };
  const TCase cases[] = {
      {"one monitor", {{0, 0, 64, 48}}},
      {"two side by side, mixed sizes", {{0, 0, 64, 48}, {64, 0, 104, 30}}},
      {"three, left of and above the primary",
       {{0, 0, 64, 48}, {-40, -10, 0, 20}, {64, 8, 96, 40}}},
      {"primary not at the origin", {{30, 0, 94, 48}, {0, 0, 30, 40}}},
  };
  for (const TCase& c : cases) {
    for (const bool every : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (every ? ", every monitor" : ", primary only"));
      Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kBlue)});
      Choose(every);
      Script().Monitors = c.monitors;
      TfrmScrn& show = Start();
      EXPECT_EQ(show.EveryMonitor(), every);
      RunPictures(1);
      RunUntil(App().TickCount() + 1500);
      ExpectDesk(c.monitors, kRed, every ? kRed : 0);
      // Every frame of a transition reaches every monitor: each follower composes a frame of
      // the same progress right after the show's control has (frame 0 is the prepared start).
      std::vector<std::pair<int, int>> steps;
      for (TCustomPicShow* f : show.OtherMonitors().Followers()) {
        f->OnProgress = [&](TCustomPicShow& s) {
          if (s.Progress() > 0) steps.emplace_back(show.PShow().Progress(), s.Progress());
        };
      }
      RunPictures(2);
      RunUntil(App().TickCount() + 1500);
      ExpectDesk(c.monitors, kBlue, every ? kBlue : 0);
      for (const auto& [shown, followed] : steps) EXPECT_EQ(shown, followed);
      EXPECT_EQ(steps.size(), every ? 25 * (c.monitors.size() - 1) : 0);
    }
  }
}

TEST_F(MonitorsTest, InputOnAnyMonitorCountsInDesktopCoordinates) {
  struct TCase {
    const char* name;
    bool key;                  // a key on the second monitor
    std::vector<TPoint> desk;  // else mouse moves at these desktop points (on either monitor)
    bool ends;
  };
  // The primary is 64x48 at 0,0; the second 40x30 at 64,0.
  const TCase cases[] = {
      {"a key on the second monitor", true, {}, true},
      {"crossing the border is a move of one pixel across", false, {{63, 10}, {64, 14}}, false},
      {"three pixels on the second monitor", false, {{70, 10}, {73, 13}}, true},
      {"from the primary to the second, far", false, {{10, 10}, {90, 20}}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Build({FlatJpeg(16, 16, kRed)});
    Script().Monitors = {{0, 0, 64, 48}, {64, 0, 104, 30}};
    TfrmScrn& show = Start();
    RunPictures(1);
    THeadlessWindow& second = *Platform().Forms().at(1);
    if (c.key) second.KeyDown('A');
    for (const TPoint& p : c.desk) {
      THeadlessWindow& on = p.X >= 64 ? second : *Platform().Form();
      on.MouseMove(p.X - on.Left(), p.Y - on.Top());
    }
    EXPECT_EQ(show.Ended(), c.ends);
  }
}

TEST_F(MonitorsTest, TheWindowsFollowADeskThatChangesDuringATransition) {
  Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kBlue), FlatJpeg(16, 16, kGreen)});
  Script().Monitors = {{0, 0, 64, 48}, {64, 0, 104, 30}};
  Start();
  RunPictures(2);  // the second transition has started
  // Mid-transition: the primary gets another resolution, the second monitor is unplugged and
  // two others come, one of them left of the primary.
  const std::vector<TRect> next = {{0, 0, 80, 60}, {-50, 0, 0, 40}, {80, 10, 112, 34}};
  Platform().ChangeMonitors(next);
  RunUntil(App().TickCount() + 1500);
  ASSERT_FALSE(Show().Ended());
  ASSERT_EQ(Platform().Forms().size(), 3u);
  // The show goes on where it was: the next picture comes, on every monitor of the new desk.
  RunPictures(3);
  RunUntil(App().TickCount() + 1500);
  EXPECT_EQ(FPictures, (std::vector<int32_t>{0, 1, 2}));
  ExpectDesk(next, kGreen, kGreen);

  // Down to one monitor: the other windows go; the show still runs.
  Platform().ChangeMonitors({{0, 0, 64, 48}});
  RunPictures(4);
  RunUntil(App().TickCount() + 1500);
  ASSERT_FALSE(Show().Ended());
  ExpectDesk({{0, 0, 64, 48}}, kRed, 0);
}

TEST_F(MonitorsTest, WhenTheMoviesTakeOverTheOtherMonitorsGoBlack) {
  FSettings.SetVer("flash");
  Build({FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}});
  Script().Monitors = {{0, 0, 64, 48}, {64, 0, 104, 30}};
  Start();
  RunPictures(1);
  RunUntil(App().TickCount() + 1500);
  ExpectDesk(Script().Monitors, kRed, kRed);
  RunUntil(App().TickCount() + 4000);  // the interval, then the movies
  ASSERT_TRUE(Platform().Movie()->Visible());
  // The picture left the second monitor: its next paint (the headless loop paints only when
  // asked) shows the window's black.
  THeadlessWindow& second = *Platform().Forms().at(1);
  second.Update();
  EXPECT_TRUE(Near(PixelAt(second.Screen(), 20, 15), 0));
}

}  // namespace
}  // namespace tovrin::testing
