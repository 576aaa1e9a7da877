// The rules that turn an X server's reports into the desk's monitors, without a display.
#include "platform/sdl/x11_monitor_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovrin {
namespace {

std::string Describe(const std::vector<TMonitor>& monitors) {
  std::string text;
  for (const TMonitor& m : monitors) {
    const TRect& r = m.Bounds;
    text += "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " " +
            std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + ")";
  }
  return text;
}

TEST(MonitorLayoutTest, ReportsBecomeMonitorsPrimaryFirst) {
  const TRect root{0, 0, 1440, 600};
  const TRect left{0, 0, 800, 600};
  const TRect right{800, 0, 1440, 600};
  const TRect middle{400, 0, 1000, 300};
  struct Case {
    const char* What;
    std::vector<TReportedMonitor> Randr;
    std::vector<TRect> Xinerama;
    TRect Root;
    std::vector<TRect> Expected;
  };
  const Case cases[] = {
      {"nothing reported: the root", {}, {}, root, {root}},
      {"one monitor", {{root, true}}, {}, root, {root}},
      {"none flagged primary: the server's order",
       {{right, false}, {left, false}},
       {},
       root,
       {right, left}},
      {"the second is primary", {{left, false}, {right, true}}, {}, root, {right, left}},
      {"the primary leads, the others keep their order",
       {{left, false}, {middle, false}, {right, true}},
       {},
       root,
       {right, left, middle}},
      {"the first of two flagged primary leads",
       {{left, false}, {middle, true}, {right, true}},
       {},
       root,
       {middle, left, right}},
      {"empty monitors are dropped",
       {{TRect{0, 0, 0, 600}, true}, {left, false}, {TRect{800, 0, 1440, 0}, false}},
       {},
       root,
       {left}},
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
      {"mirrored outputs are one monitor",
       {{left, false}, {left, false}, {right, false}},
       {},
       root,
       {left, right}},
      {"a repeat flagged primary makes its area lead",
       {{left, false}, {right, false}, {right, true}},
       {},
       root,
       {right, left}},
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
    const std::vector<TMonitor> actual = MonitorLayout(c.Randr, c.Xinerama, c.Root);
    EXPECT_EQ(actual, expected) << c.What << ": got " << Describe(actual) << ", expected "
                                << Describe(expected);
  }
}

}  // namespace
}  // namespace tovrin
