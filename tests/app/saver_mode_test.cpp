#include <gtest/gtest.h>

#include "app/saver_mode.h"

namespace tovrin {
namespace {

struct TModeCase {
  const char* Argument;
  TSaverMode Mode;
};

TEST(SaverMode, ClassifiesEveryFormOfTheSwitch) {
  const TModeCase cases[] = {
      // No argument, or an empty one: setup.
      {"", smSetup},
      {"/c", smSetup},
      {"/C", smSetup},
      {"-c", smSetup},
      {"C", smSetup},
      {"c", smSetup},
      {"/c:5678", smSetup},
      {"Config", smSetup},
      // Preview, long forms included.
      {"/p", smPreview},
      {"-P", smPreview},
      {"P", smPreview},
      {"/preview", smPreview},
      {"preview", smPreview},
      // Password change.
      {"/a", smChangePassword},
      {"-A", smChangePassword},
      {"Apple", smChangePassword},
      {"ABC", smChangePassword},
      // Everything else shows.
      {"/S", smShow},
      {"/s", smShow},
      {"-S", smShow},
      {"S", smShow},
      {"/X", smShow},
      {"-", smShow},
      {"/", smShow},
      {"--help", smShow},
      {" /p", smShow},  // no trimming: the first character is a space
      {"//p", smShow},
      {"x/p", smShow},
      {"\xE1", smShow},  // a non-ASCII letter is not upper-cased into A
  };
  for (const TModeCase& c : cases) {
    EXPECT_EQ(ClassifyMode(c.Argument), c.Mode) << '"' << c.Argument << '"';
  }
}

TEST(SaverMode, ModeValuesAndNames) {
  EXPECT_EQ(static_cast<int>(smChangePassword), 0);
  EXPECT_EQ(static_cast<int>(smPreview), 1);
  EXPECT_EQ(static_cast<int>(smSetup), 2);
  EXPECT_EQ(static_cast<int>(smShow), 3);
  EXPECT_EQ(sizeof(TSaverMode), 1u);
  EXPECT_EQ(SaverModeName(smPreview), "preview");
  EXPECT_EQ(SaverModeName(smShow), "show");
}

}  // namespace
}  // namespace tovrin
