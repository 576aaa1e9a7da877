#include <gtest/gtest.h>

#include "core/errors.h"
#include "text_encoding.h"

namespace tovrin {
namespace {

TEST(TextEncodingTest, EveryAnsiByteSurvivesTheRoundTrip) {
  for (int b = 1; b < 256; ++b) {
    const std::string ansi(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(ansi)), ansi) << "byte " << b;
  }
}

TEST(TextEncodingTest, HighControlRangeUsesTheCodePageTable) {
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x99"), "\xE2\x84\xA2");  // trade mark sign
  EXPECT_EQ(Cp1252ToUtf8("\x81"), "\xC2\x81");      // undefined: the C1 control
  EXPECT_EQ(Cp1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x9C"
                         "a"
                         "\xE2\x80\x9D"),
            "\x93"
            "a"
            "\x94");
}

TEST(TextEncodingTest, RefusesWhatTheCodePageCannotHold) {
  EXPECT_THROW(Utf8ToCp1252("\xE6\x97\xA5"), EConvertError);      // a CJK character
  EXPECT_THROW(Utf8ToCp1252("\xF0\x9F\x98\x80"), EConvertError);  // an emoji
  EXPECT_THROW(Utf8ToCp1252("\xC3"), EConvertError);              // cut-off sequence
  EXPECT_THROW(Utf8ToCp1252("\xC0\xAF"), EConvertError);          // overlong slash
  EXPECT_THROW(Utf8ToCp1252("\xE9t\xE9"), EConvertError);         // Latin-1, not UTF-8
}

}  // namespace
}  // namespace tovrin
