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

// The packed list reads every text as the vector does, writes the same comma text back, and keeps
// its content when it turns into a vector to be changed.
TEST(CommaText, PackedListReadsAndWritesAsTheVector) {
  const char* const texts[] = {
      "",
      "   ",
      "2795008,2881021",
      "  a b , c",
      "a,,b",
      "a,b,",
      ",",
      "\"\"",
      "\"my song.mp3\",b.wav",
      "\"say \"\"hi\"\"\"",
      "\"open end, here",
      "\"a\"b",
      "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0",
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const List expected = ParseCommaText(text);
    TCommaList packed;
    packed.SetCommaText(text);
    ASSERT_EQ(packed.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(packed.At(i), expected[i]);
    EXPECT_EQ(packed.CommaText(), CommaTextOf(expected));

    TCommaList changed;
    changed.SetCommaText(text);
    EXPECT_EQ(static_cast<const TCommaList&>(changed).Items(), expected);
    changed.Items().push_back("one more");
    List grown = expected;
    grown.push_back("one more");
    EXPECT_EQ(changed.size(), grown.size());
    EXPECT_EQ(changed.At(grown.size() - 1), "one more");
    EXPECT_EQ(changed.CommaText(), CommaTextOf(grown));
    // Read again: packed once more, the earlier vector gone.
    changed.SetCommaText(text);
    EXPECT_EQ(changed.size(), expected.size());
    EXPECT_EQ(changed.Items(), expected);
  }
}

}  // namespace
}  // namespace tovrin
