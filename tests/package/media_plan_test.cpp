#include "package/media_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tovrin {
namespace {

struct TEntry {
  std::string Offset;
  std::string Name;  // as stored (Windows-1252)
  std::string Size;
};

// The layout every case starts from: a 1000-byte program image, the items from 1000 to the
// settings object at 5000, the trailer at 6000.
struct TLayout {
  int64_t FileSize = 6040;
  int64_t PackageLength = 5000;
  int64_t SettingsOffset = 5000;
};

struct TCase {
  const char* What;
  std::vector<TEntry> Sounds;
  std::vector<TEntry> Movies = {};
  TLayout Layout = {};
  const char* Refusal = nullptr;  // a part of the reason; nullptr: accepted
};

TMediaPlan Plan(const TCase& c) {
  TSSFileLocations s;
  for (const TEntry& e : c.Sounds) {
    s.SndList().push_back(e.Offset);
    if (e.Name != "<none>") s.SndFileNameList().push_back(e.Name);
    if (e.Size != "<none>") s.SndSizeList().push_back(e.Size);
  }
  for (const TEntry& e : c.Movies) {
    s.FlashList().push_back(e.Offset);
    s.FlashFileNameList().push_back(e.Name);
    s.FlashSizeList().push_back(e.Size);
  }
  return PlanMediaExtraction(s, c.Layout.FileSize, c.Layout.PackageLength, c.Layout.SettingsOffset);
}

void Check(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    const TMediaPlan plan = Plan(c);
    if (c.Refusal == nullptr) {
      EXPECT_TRUE(plan.Accepted()) << plan.Refusal;
      EXPECT_EQ(plan.Files.size(), c.Sounds.size() + c.Movies.size());
    } else {
      EXPECT_NE(plan.Refusal.find(c.Refusal), std::string::npos) << plan.Refusal;
      EXPECT_TRUE(plan.Files.empty()) << "a refused plan writes nothing";
      EXPECT_EQ(plan.TotalBytes, 0);
    }
  }
}

// Every entry has a name and a size that is not negative, and lies between the package start and
// the settings object.
TEST(MediaPlanTest, EntriesLieBetweenThePackageStartAndTheSettings) {
  Check({
      {"the whole item area", {{"1000", "a.wav", "4000"}}},
      {"empty, at the settings", {{"5000", "a.wav", "0"}}},
      {"a size that is no number reads as 0", {{"1000", "a.wav", "lots"}}},
      {"one byte into the program image", {{"999", "a.wav", "10"}}, {}, {}, "outside"},
      {"one byte into the settings", {{"1000", "a.wav", "4001"}}, {}, {}, "outside"},
      {"a negative offset", {{"-5", "a.wav", "10"}}, {}, {}, "outside"},
      {"past the file", {{"7000", "a.wav", "1"}}, {}, {}, "outside"},
      {"offset and size at the 32-bit limit",
       {{"2147483647", "a.wav", "2147483647"}},
       {},
       {},
       "outside"},
      {"a movie outside", {{"1000", "a.wav", "1"}}, {{"0", "m.swf", "3"}}, {}, "movie 1"},
      {"a package longer than the file",
       {{"1000", "a.wav", "1"}},
       {},
       {6040, 6001, 5000},
       "does not fit"},
      {"a negative package length", {{"1000", "a.wav", "1"}}, {}, {6040, -1, 5000}, "does not fit"},
      {"a file shorter than a trailer", {{"0", "a.wav", "0"}}, {}, {30, 0, 0}, "does not fit"},
      {"settings before the package",
       {{"1000", "a.wav", "1"}},
       {},
       {6040, 5000, 999},
       "settings object"},
      {"settings in the trailer",
       {{"1000", "a.wav", "1"}},
       {},
       {6040, 5000, 6000},
       "settings object"},
      {"a negative size", {{"1000", "a.wav", "-1"}}, {}, {}, "negative size"},
      {"no name entry",
       {{"1000", "a.wav", "1"}, {"1001", "<none>", "1"}},
       {},
       {},
       "sound 2 has no name"},
      {"no size entry", {{"1000", "a.wav", "<none>"}}, {}, {}, "sound 1 has no size"},
  });
  // Without media the layout is not the media's concern.
  TCase none{"no media", {}, {}, {10, 99, -4}};
  EXPECT_TRUE(Plan(none).Accepted());
}

// 2,000 entries naming one range would write it 2,000 times: the bytes written may never exceed
// the package's own length, whatever the entries repeat.
TEST(MediaPlanTest, TheMediaNeverAddUpToMoreThanThePackage) {
  std::vector<TEntry> many;
  for (int i = 0; i < 2000; ++i) many.push_back({"1000", "s" + std::to_string(i) + ".wav", "200"});
  std::vector<TEntry> twentyFive(many.begin(), many.begin() + 25);  // 25 x 200 = the 5000 bytes
  std::vector<TEntry> twentySix(many.begin(), many.begin() + 26);
  Check({
      {"2,000 times one range", many, {}, {}, "add up to more than the package's own 5000 bytes"},
      {"one range as often as the package is long", twentyFive},
      {"once more", twentySix, {}, {}, "add up"},
      {"sounds and movies together",
       {{"1000", "a.wav", "3000"}},
       {{"1000", "b.swf", "2001"}},
       {},
       "add up"},
  });
  TCase exact{"", twentyFive};
  EXPECT_EQ(Plan(exact).TotalBytes, 5000);
}

// The name rule itself is the file-name rule's (core); here: the plan applies it to the stored
// names once they are UTF-8, and compares names by their Windows key.
TEST(MediaPlanTest, NamesAreSafeAndUniqueWithLetterCaseIgnored) {
  const auto one = [](const std::string& name) { return std::vector<TEntry>{{"1000", name, "1"}}; };
  const auto two = [](const std::string& a, const std::string& b) {
    return std::vector<TEntry>{{"1000", a, "1"}, {"1001", b, "1"}};
  };
  Check({
      {"plain", two("theme.wav", "my song.mid")},
      {"letters beyond ASCII", two("\xC4rger.wav", "Arger.wav")},
      {"ASCII case", two("a.wav", "A.WAV"), {}, {}, "sound 2 \"A.WAV\" has the name of sound 1"},
      {"Latin-1 case", two("\xC4rger.wav", "\xE4rger.wav"), {}, {}, "has the name of"},
      {"a movie and a sound",
       one("intro.swf"),
       {{"1001", "INTRO.SWF", "1"}},
       {},
       "movie 1 \"INTRO.SWF\" has the name of sound 1"},
      {"an undefined byte (a C1 control)", one("a\x81.wav"), {}, {}, "control"},
      {"CON", one("CON"), {}, {}, "device"},
      // 128 letters of one byte in the package, 256 bytes once written as UTF-8.
      {"long once in UTF-8", one(std::string(128, '\xE9')), {}, {}, "longer"},
  });
}

TEST(MediaPlanTest, AnAcceptedPlanListsSoundsThenMoviesUnderTheirUtf8Names) {
  TCase c{"", {{"1000", "\xC4rger.wav", "10"}, {"1010", "b.wav", "0"}}, {{"1010", "m.swf", "5"}}};
  const TMediaPlan plan = Plan(c);
  ASSERT_TRUE(plan.Accepted()) << plan.Refusal;
  ASSERT_EQ(plan.Files.size(), 3u);
  EXPECT_EQ(plan.Files[0].FileName, "\xC3\x84rger.wav");
  EXPECT_EQ(plan.Files[0].StoredName, "\xC4rger.wav");
  EXPECT_EQ(plan.Files[1].Size, 0);
  EXPECT_EQ(plan.Files[2].Kind, TMediaKind::mkMovie);
  EXPECT_EQ(plan.Files[2].Offset, 1010);
  EXPECT_EQ(plan.TotalBytes, 15);
}

}  // namespace
}  // namespace tovrin
