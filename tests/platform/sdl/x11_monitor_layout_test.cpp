// The rules that turn an X server's reports into the desk's monitors, without a display: which
// report counts (RandR, then Xinerama, then the root) and clipping to the root. The ordering of
// what is left (primary first, empty and mirrored monitors dropped) is DeskMonitors' rule, proven
// in its own test.
#include "platform/sdl/x11_monitor_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "monitor_printer.h"

namespace tovrin {
namespace {

TEST(MonitorLayoutTest, ReportsBecomeMonitorsPrimaryFirst) {
  const TRect root{0, 0, 1440, 600};
  const TRect left{0, 0, 800, 600};
  const TRect right{800, 0, 1440, 600};
  struct Case {
    const char* What;
    std::vector<TReportedMonitor> Randr;
    std::vector<TRect> Xinerama;
    TRect Root;
    std::vector<TRect> Expected;
  };
  const Case cases[] = {
      {"nothing reported: the root", {}, {}, root, {root}},
      {"RandR's primary leads", {{left, false}, {right, true}}, {}, root, {right, left}},
      {"a monitor reaching past the root is clipped to it",
       {{left, true}, {TRect{800, 0, 1920, 1080}, false}},
       {},
       root,
       {left, right}},
      {"a monitor wholly outside the root is dropped",
       {{TRect{1440, 0, 2000, 600}, true}, {left, false}},
       {},
       root,
       {left}},
      {"repeats after clipping are one monitor",
       {{right, false}, {TRect{800, 0, 1600, 700}, false}},
       {},
       root,
       {right}},
      {"RandR's monitors win over Xinerama's screens", {{right, false}}, {left}, root, {right}},
      {"no RandR monitors: Xinerama's screens, the first leads",
       {},
       {right, left},
       root,
       {right, left}},
      {"RandR reports only unusable monitors: Xinerama's screens",
       {{TRect{0, 0, 0, 0}, true}},
       {left, right},
       root,
       {left, right}},
      {"Xinerama's clones are one screen", {}, {left, left, right}, root, {left, right}},
      {"nothing usable anywhere: the root",
       {{TRect{2000, 0, 2100, 10}, true}},
       {TRect{0, 0, 0, 0}},
       root,
       {root}},
      {"no root either: one pixel rather than no monitor", {}, {}, TRect{}, {TRect{0, 0, 1, 1}}},
  };
  for (const Case& c : cases) {
    std::vector<TMonitor> expected;
    for (const TRect& r : c.Expected) expected.push_back(TMonitor{r});
    EXPECT_EQ(MonitorLayout(c.Randr, c.Xinerama, c.Root), expected) << c.What;
  }
}

}  // namespace
}  // namespace tovrin
