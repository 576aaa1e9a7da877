#include "core/paths.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(PathsTest, JoinAddsOneSeparator) {
  const std::string sep(1, PathDelim);
  EXPECT_EQ(JoinPath("tmp", "a.mp3"), "tmp" + sep + "a.mp3");
  EXPECT_EQ(JoinPath("tmp" + sep, "a.mp3"), "tmp" + sep + "a.mp3");
  // An empty directory has no last character: the name stays relative, not rooted.
  EXPECT_EQ(JoinPath("", "a.mp3"), "a.mp3");
  // A directory written with a slash keeps it, on every platform.
  EXPECT_EQ(JoinPath("tmp/", "a.mp3"), "tmp/a.mp3");
}

TEST(PathsTest, FileNameAndDirectory) {
  EXPECT_EQ(ExtractFileName("/usr/lib/Harbour.scr"), "Harbour.scr");
  EXPECT_EQ(ExtractFileName("Harbour.scr"), "Harbour.scr");
  EXPECT_EQ(ExtractFileDir("/usr/lib/Harbour.scr"), "/usr/lib");
  EXPECT_EQ(ExtractFileDir("Harbour.scr"), "");
}

TEST(PathsTest, PlainFileNamesCannotLeaveTheirDirectory) {
  EXPECT_TRUE(IsPlainFileName("a.mp3"));
  EXPECT_TRUE(IsPlainFileName("my song.mid"));
  EXPECT_TRUE(IsPlainFileName("..a"));
  for (const char* bad : {"", ".", "..", "../a.mp3", "a/b", "a\\b", "C:a.mp3", "\\\\server\\x",
                          "/etc/passwd", "a\nb"}) {
    EXPECT_FALSE(IsPlainFileName(bad)) << bad;
  }
}

}  // namespace
}  // namespace tovrin
