#include <gtest/gtest.h>

#include "core/ansi_text.h"
#include "core/errors.h"

namespace tovrin {
namespace {

TEST(AnsiTextTest, EveryAnsiByteSurvivesTheRoundTrip) {
  for (int b = 1; b < 256; ++b) {
    const std::string ansi(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToAnsiStrict(AnsiToUtf8(ansi)), ansi) << "byte " << b;
  }
}

TEST(AnsiTextTest, HighControlRangeUsesTheCodePageTable) {
  EXPECT_EQ(AnsiToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(AnsiToUtf8("\x99"), "\xE2\x84\xA2");  // trade mark sign
  EXPECT_EQ(AnsiToUtf8("\x81"), "\xC2\x81");      // undefined: the C1 control
  EXPECT_EQ(AnsiToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(Utf8ToAnsiStrict("\xE2\x80\x9C"
                             "a"
                             "\xE2\x80\x9D"),
            "\x93"
            "a"
            "\x94");
}

TEST(AnsiTextTest, RefusesWhatTheCodePageCannotHold) {
  EXPECT_THROW(Utf8ToAnsiStrict("\xE6\x97\xA5"), EConvertError);      // a CJK character
  EXPECT_THROW(Utf8ToAnsiStrict("\xF0\x9F\x98\x80"), EConvertError);  // an emoji
  EXPECT_THROW(Utf8ToAnsiStrict("\xC3"), EConvertError);              // cut-off sequence
  EXPECT_THROW(Utf8ToAnsiStrict("\xC0\xAF"), EConvertError);          // overlong slash
  EXPECT_THROW(Utf8ToAnsiStrict("\xE9t\xE9"), EConvertError);         // Latin-1, not UTF-8
}

// The lenient conversion puts one "?" for each character it cannot store and for each malformed
// sequence, and goes on reading at the byte that broke a sequence, so no character is lost.
TEST(AnsiTextTest, LenientConversionReplacesAndResynchronises) {
  struct TCase {
    const char* Utf8;
    const char* Ansi;
  };
  const TCase cases[] = {
      {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xE9 \x80"},  // stored characters
      {"a\xE6\x97\xA5z", "a?z"},                     // a CJK character
      {"a\xF0\x9F\x98\x80z", "a?z"},                 // an emoji
      {"a\xC3z", "a?z"},                             // cut short: 'z' is read again
      {"a\xE2\x82", "a?"},                           // cut short by the end
      {"\xC0\xAF", "?"},                             // overlong slash
      {"\xED\xA0\x80", "?"},                         // an encoded surrogate
      {"\xF4\x90\x80\x80", "?"},                     // past U+10FFFF
      {"\xFF\x80x", "??x"},                          // bytes that start nothing
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(Utf8ToAnsi(c.Utf8), c.Ansi) << c.Utf8;
  }
}

}  // namespace
}  // namespace tovrin
