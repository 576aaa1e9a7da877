#include "core/conversions.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace tovrin {
namespace {

TEST(ConversionsTest, TrimRemovesSpacesAndControlCharacters) {
  EXPECT_EQ(Trim("  12 \t\r\n"), "12");
  EXPECT_EQ(Trim("\x01"
                 "a b"
                 "\x1f"),
            "a b");
  EXPECT_EQ(Trim("    "), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(ConversionsTest, LenientNumbersReadZeroForAnythingElse) {
  EXPECT_EQ(StrToNumber("1542769             "), 1542769);
  EXPECT_EQ(StrToNumber("   -42 "), -42);
  EXPECT_EQ(StrToNumber("+7"), 7);
  EXPECT_EQ(StrToNumber("                    "), 0);
  EXPECT_EQ(StrToNumber("12a"), 0);
  EXPECT_EQ(StrToNumber("1 2"), 0);
  EXPECT_EQ(StrToNumber("2147483647"), 2147483647);
  EXPECT_EQ(StrToNumber("-2147483648"), -2147483647 - 1);
  // 32-bit overflow is not a number either.
  EXPECT_EQ(StrToNumber("2147483648"), 0);
  EXPECT_EQ(StrToNumber("99999999999999999999"), 0);
  EXPECT_EQ(StrToNumber("+-1"), 0);
  EXPECT_EQ(StrToNumber("-"), 0);
}

TEST(ConversionsTest, StrictConversionRaisesWithTheText) {
  EXPECT_EQ(StrToInt("1234"), 1234);
  EXPECT_EQ(StrToInt(" 1234 "), 1234);
  try {
    StrToInt("");
    FAIL() << "empty text was accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'' is not a valid integer value");
  }
  EXPECT_THROW(StrToInt("0x10"), EConvertError);
  EXPECT_THROW(StrToInt("4294967296"), EConvertError);
}

TEST(ConversionsTest, UpperCaseTouchesAsciiLettersOnly) {
  EXPECT_EQ(UpperCase("/preview -s \xe9z"), "/PREVIEW -S \xe9Z");
  EXPECT_TRUE(SameText("TSSFileLocations", "tssfilelocations"));
  EXPECT_FALSE(SameText("TImage", "TImages"));
  EXPECT_FALSE(SameText("\xe9", "\xc9"));
}

}  // namespace
}  // namespace tovrin
