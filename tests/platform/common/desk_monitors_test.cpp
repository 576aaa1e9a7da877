// DeskMonitors: what the back ends' Monitors() return for the layouts systems report (the
// primary one anywhere in the report, monitors left of and above it, mirrored and empty ones, a
// report without a primary flag, nothing at all).
#include <gtest/gtest.h>

#include <vector>

#include "monitor_printer.h"
#include "platform/common/desk_monitors.h"

namespace tovrin {
namespace {

TEST(DeskMonitors, PrimaryFirstOthersInReportedOrderUnusableDropped) {
  const TRect fallback{0, 0, 1024, 768};
  const TRect a{0, 0, 1920, 1080};
  const TRect left{-1280, 56, 0, 1080};    // left of the primary, lower
  const TRect above{0, -1024, 1280, 0};    // above it
  const TRect right{1920, 0, 2560, 480};   // right of it, smaller
  const TRect empty{1920, 0, 1920, 1080};  // no width
  struct TCase {
    const char* What;
    std::vector<TReportedMonitor> Reported;
    std::vector<TRect> Expected;
  };
  const TCase cases[] = {
      {"nothing reported", {}, {fallback}},
      {"one primary", {{a, true}}, {a}},
      {"primary reported last, others keep their order",
       {{left, false}, {right, false}, {a, true}},
       {a, left, right}},
      {"three monitors around the primary",
       {{above, false}, {a, true}, {left, false}},
       {a, above, left}},
      {"no flag: the first reported",
       {{left, false}, {a, false}, {right, false}},
       {left, a, right}},
      {"two flagged: the first of them", {{right, true}, {a, true}}, {right, a}},
      {"an empty monitor is dropped", {{a, true}, {empty, false}, {right, false}}, {a, right}},
      {"an empty monitor flagged primary does not count",
       {{empty, true}, {right, false}, {a, false}},
       {right, a}},
      {"an inverted area is empty", {{TRect{10, 10, 0, 0}, true}, {right, false}}, {right}},
      {"only empty monitors", {{empty, true}, {TRect{}, false}}, {fallback}},
      {"a mirror of the primary is dropped", {{right, false}, {a, true}, {a, false}}, {a, right}},
      {"a repeated secondary is kept once", {{a, true}, {left, false}, {left, false}}, {a, left}},
  };
  for (const TCase& c : cases) {
    std::vector<TMonitor> expected;
    for (const TRect& r : c.Expected) expected.push_back(TMonitor{r});
    EXPECT_EQ(DeskMonitors(c.Reported, fallback), expected) << c.What;
  }
}

}  // namespace
}  // namespace tovrin
