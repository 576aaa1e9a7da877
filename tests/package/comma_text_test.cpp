#include <gtest/gtest.h>

#include "package/comma_text.h"

namespace tovrin {
namespace {

using List = std::vector<std::string>;

TEST(CommaText, WritesQuotingOnlyWhereNeeded) {
  EXPECT_EQ(CommaTextOf({}), "");
  EXPECT_EQ(CommaTextOf({""}), "\"\"");
  EXPECT_EQ(CommaTextOf({"2795008", "2881021"}), "2795008,2881021");
  EXPECT_EQ(CommaTextOf({"my song.mp3", "b.wav"}), "\"my song.mp3\",b.wav");
  EXPECT_EQ(CommaTextOf({"say \"hi\""}), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CommaTextOf({"a,b", "tab\there"}), "\"a,b\",\"tab\there\"");
  EXPECT_EQ(CommaTextOf({"a", ""}), "a,");
}

TEST(CommaText, ReadsSeparatorsBlanksAndQuotes) {
  EXPECT_EQ(ParseCommaText(""), List{});
  EXPECT_EQ(ParseCommaText("   "), List{});
  EXPECT_EQ(ParseCommaText("2795008,2881021"), (List{"2795008", "2881021"}));
  // An unquoted space splits an item; blanks around commas are dropped.
  EXPECT_EQ(ParseCommaText("  a b , c"), (List{"a", "b", "c"}));
  EXPECT_EQ(ParseCommaText("a,,b"), (List{"a", "", "b"}));
  // A trailing comma adds an empty last item; blanks after it do not.
  EXPECT_EQ(ParseCommaText("a,b,"), (List{"a", "b", ""}));
  EXPECT_EQ(ParseCommaText("a, "), (List{"a"}));
  EXPECT_EQ(ParseCommaText(","), (List{"", ""}));
  EXPECT_EQ(ParseCommaText("\"my song.mp3\",b.wav"), (List{"my song.mp3", "b.wav"}));
  EXPECT_EQ(ParseCommaText("\"say \"\"hi\"\"\""), (List{"say \"hi\""}));
  EXPECT_EQ(ParseCommaText("\"\""), (List{""}));
  // No closing quote: the rest of the text.
  EXPECT_EQ(ParseCommaText("\"open end, here"), (List{"open end, here"}));
  // Text right after a closing quote starts the next item.
  EXPECT_EQ(ParseCommaText("\"a\"b"), (List{"a", "b"}));
}

TEST(CommaText, RoundTripsAwkwardItems) {
  const List lists[] = {
      {"plain"},
      {""},
      {"", ""},
      {"a b", "\"", ",", " lead", "trail ", "x\ty", "\x01"},
      {"caf\xE9", "\xFF\xFE"},
  };
  for (const List& list : lists) {
    EXPECT_EQ(ParseCommaText(CommaTextOf(list)), list) << CommaTextOf(list);
  }
}

}  // namespace
}  // namespace tovrin
