#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "ordered_work.h"
#include "package/ss_file_locations.h"
#include "package_plan.h"
#include "progress.h"

namespace tovrin {
namespace {

TPackagePlan PlanOf(int64_t engine, std::vector<int64_t> pictures, std::vector<int64_t> sounds) {
  TPackagePlan plan;
  plan.OutputPath = "out.scr";
  plan.EngineSize = engine;
  for (size_t i = 0; i < pictures.size(); ++i) {
    plan.Pictures.push_back({"p" + std::to_string(i) + ".jpg", "p.jpg", pictures[i], 0});
  }
  for (size_t i = 0; i < sounds.size(); ++i) {
    plan.Sounds.push_back({"s" + std::to_string(i), "s" + std::to_string(i), sounds[i], 0});
  }
  return plan;
}

TEST(PackagePlanTest, ItemsFollowEachOtherFromTheEndOfTheEngine) {
  TPackagePlan plan = PlanOf(1000, {100, 250}, {7, 0});
  TSSFileLocations settings;
  LayOutPackage(plan, settings);
  const int64_t item = PictureItemSize(0);
  EXPECT_EQ(item, 77);  // the fixed bytes of a picture item around its JPEG data
  EXPECT_EQ(plan.Pictures[0].Offset, 1000);
  EXPECT_EQ(plan.Pictures[1].Offset, 1000 + 77 + 100);
  EXPECT_EQ(plan.Sounds[0].Offset, 1000 + 77 + 100 + 77 + 250);
  EXPECT_EQ(plan.Sounds[1].Offset, plan.Sounds[0].Offset + 7);
  EXPECT_EQ(plan.SettingsOffset, plan.Sounds[1].Offset);  // an empty sound takes no bytes
  EXPECT_EQ(plan.TotalSize, plan.SettingsOffset + plan.SettingsSize + 40);
  EXPECT_EQ(plan.PackageLength, plan.TotalSize - 40 - 1000);
  EXPECT_EQ(settings.PicList(), (TStringList{"1000", "1177"}));
  EXPECT_EQ(settings.SndSizeList(), (TStringList{"7", "0"}));
  EXPECT_EQ(settings.SndFileNameList(), (TStringList{"s0", "s1"}));
}

TEST(PackagePlanTest, RefusesAResultOfTwoGibibytesOrMore) {
  // Find the sound size that makes the file exactly 2^31 - 1 bytes (near the limit every size
  // has ten digits, so the settings object keeps its length), then add one byte.
  const int64_t limit = int64_t{1} << 31;
  TSSFileLocations settings;
  TPackagePlan probe = PlanOf(1000, {100}, {limit - 5000});
  LayOutPackage(probe, settings);
  const int64_t fitting = limit - 5000 + (limit - 1 - probe.TotalSize);

  TPackagePlan fits = PlanOf(1000, {100}, {fitting});
  LayOutPackage(fits, settings);
  EXPECT_EQ(fits.TotalSize, limit - 1);

  TPackagePlan tooBig = PlanOf(1000, {100}, {fitting + 1});
  EXPECT_THROW(LayOutPackage(tooBig, settings), EOutOfResources);
  TPackagePlan hugeEngine = PlanOf(limit, {1}, {});
  EXPECT_THROW(LayOutPackage(hugeEngine, settings), EOutOfResources);
  // Sizes far beyond 32 bits must not wrap around into an acceptable total.
  TPackagePlan wraps = PlanOf(1000, {int64_t{1} << 32}, {});
  EXPECT_THROW(LayOutPackage(wraps, settings), EOutOfResources);
}

TEST(PackagePlanTest, TrailerFieldsAreSpacePaddedDecimals) {
  const std::string trailer = PackageTrailerText(1542769, 4336699);
  ASSERT_EQ(trailer.size(), 40u);
  EXPECT_EQ(trailer, "1542769             4336699             ");
}

}  // namespace
}  // namespace tovrin

namespace tovrin {
namespace {

std::string Captured(const std::function<void(std::FILE*)>& draw) {
  std::FILE* f = std::tmpfile();
  draw(f);
  std::fflush(f);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
  std::fclose(f);
  return text;
}

TEST(ProgressTest, DrawsOneLineInPlaceAndClearsIt) {
  const std::string text = Captured([](std::FILE* f) {
    TProgress progress(20, true, f);
    progress.Step(0, 0, "a.jpg");
    progress.Step(20, 2500000, "b.jpg");
  });
  EXPECT_EQ(text.rfind("\r[--------------------] 0/20  0.0 MB  --:-- left  a.jpg", 0), 0u) << text;
  EXPECT_NE(text.find("\r[####################] 20/20  2.5 MB  0:00 left  b.jpg"),
            std::string::npos)
      << text;
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text.back(), '\r') << "the line must be cleared when the progress ends";
}

TEST(ProgressTest, LineShowsTheBarBytesAndTimeLeft) {
  struct TCase {
    int Done, Total;
    int64_t Bytes;
    double Elapsed;
    const char* Starts;
  };
  const TCase cases[] = {
      {5, 20, 1234567, 10.0, "[#####---------------] 5/20  1.2 MB  0:30 left  x"},
      {1, 100, 0, 90.0, "[--------------------] 1/100  0.0 MB  2:28:30 left  x"},
      {37, 100, 52400000, 21.0, "[#######-------------] 37/100  52.4 MB  0:36 left  x"},
      {30, 20, 0, 1.0, "[####################] 20/20  0.0 MB  0:00 left  x"},  // clamped
  };
  for (const TCase& c : cases) {
    const std::string line = ProgressLine(c.Done, c.Total, c.Bytes, c.Elapsed, "x");
    EXPECT_EQ(line.rfind(c.Starts, 0), 0u) << line;
    EXPECT_EQ(line.size(), 79u);
  }
  // A long label is cut at the line's width, never inside a UTF-8 character.
  for (size_t pad = 0; pad < 4; ++pad) {
    const std::string line = ProgressLine(
        1, 20, 0, 1.0, std::string(40 + pad, 'x') + "\xC3\xA9\xC3\xA9" + std::string(40, 'y'));
    EXPECT_EQ(line.size(), 79u);
    EXPECT_NE(static_cast<unsigned char>(line[line.find_last_not_of(' ')]), 0xC3u) << pad;
  }
}

TEST(ProgressTest, SilentForFewItemsOrWhenDisabled) {
  EXPECT_EQ(
      Captured([](std::FILE* f) { TProgress(TProgress::MinItems - 1, true, f).Step(1, 0, "a"); }),
      "");
  EXPECT_EQ(Captured([](std::FILE* f) { TProgress(100, false, f).Step(1, 0, "a"); }), "");
}

// Results come back in item order however long each item takes, and an item's failure is
// raised by the call that takes its result, not earlier or later.
TEST(OrderedWorkTest, ResultsAndFailuresComeInOrder) {
  for (size_t ahead : {size_t{1}, size_t{3}, size_t{8}}) {
    TOrderedWork<size_t> work(6, ahead, [](size_t i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(i % 2 == 0 ? 20 : 1));
      if (i == 4) throw EInvalidGraphic("item 4");
      return i * 10;
    });
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(work.Next(), i * 10) << "ahead " << ahead;
    EXPECT_THROW(work.Next(), EInvalidGraphic);
    EXPECT_EQ(work.Next(), 50u);
  }
}

}  // namespace
}  // namespace tovrin
