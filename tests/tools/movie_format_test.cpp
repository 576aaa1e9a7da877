// tovrin-pack's movie recognition: containers told from their first bytes, files refused by
// content and by name, and the listing of a movie inside a package.
#include "movie_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "clip_maker.h"
#include "core/errors.h"
#include "saver_builder.h"

namespace tovrin::testing {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (const int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

std::vector<uint8_t> Text(const std::string& s) {
  return {s.begin(), s.end()};
}

// An EBML header whose DocType element is type (as muxers write it: 42 82, a one-byte size).
std::vector<uint8_t> Ebml(const std::string& type, int sizeByte = -1) {
  std::vector<uint8_t> out =
      Bytes({0x1A, 0x45, 0xDF, 0xA3, 0xA3, 0x42, 0x86, 0x81, 0x01, 0x42, 0x82});
  out.push_back(static_cast<uint8_t>(sizeByte >= 0 ? sizeByte : 0x80 | type.size()));
  out.insert(out.end(), type.begin(), type.end());
  return out;
}

TEST(MovieContainerTest, ToldFromTheFirstBytes) {
  const struct {
    const char* Name;
    std::vector<uint8_t> Head;
    const char* Expected;
  } cases[] = {
      {"mp4 brand isom", Text(std::string("\0\0\0\x20", 4) + "ftypisom"), "mp4"},
      {"mp4 brand mp42", Text(std::string("\0\0\0\x18", 4) + "ftypmp42"), "mp4"},
      {"mov brand", Text(std::string("\0\0\0\x14", 4) + "ftypqt  "), "mov"},
      {"old QuickTime", Text(std::string("\0\0\0\x08", 4) + "wide"), "mov"},
      {"webm", Ebml("webm"), "webm"},
      {"matroska", Ebml("matroska"), "matroska"},
      {"other EBML", Ebml("dvb"), ""},
      {"DocType past the end", Ebml("webm", 0x80 | 60), ""},
      {"two-byte DocType size", Ebml("webm", 0x40), ""},
      {"swf", Text("FWS\x09"), "swf"},
      {"compressed swf", Text("CWS\x0A"), "swf"},
      {"lzma swf", Text("ZWS\x0D"), "swf"},
      {"avi", Text("RIFF\x10\0\0\0AVI LIST"), ""},
      {"ftyp cut short", Text(std::string("\0\0\0\x20", 4) + "fty"), ""},
      {"nothing", {}, ""},
      {"text", Text("just some words about a holiday"), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MovieContainer(c.Head.data(), c.Head.size()), c.Expected) << c.Name;
  }
}

class MovieFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path path = FFolder.Path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  TScratchFolder FFolder{"movie_format"};
};

TEST_F(MovieFileTest, RefusedByContentOrByNameNamingTheFile) {
  TClipRecipe recipe;
  recipe.Segments = {{0xFF0000, 3}};
  const std::vector<uint8_t> mp4 = ClipBytes(recipe, ".mp4");
  recipe.VideoCodec = "libvpx-vp9";
  const std::vector<uint8_t> webm = ClipBytes(recipe, ".webm");
  const struct {
    std::string Name;
    std::vector<uint8_t> Bytes;
    const char* Refusal;  // nullptr: accepted
  } cases[] = {
      {"holiday.mp4", mp4, nullptr},
      {"holiday.MOV", mp4, nullptr},  // the name does not matter to a video
      {"holiday.webm", webm, nullptr},
      {"intro.swf", Text("FWS\x09rest"), nullptr},
      {"intro.SWF", Text("CWS\x09rest"), nullptr},
      {"notes.mp4", Text("not a movie at all"), "not a movie a show plays"},
      {"empty.mkv", {}, "not a movie a show plays"},
      {"intro.mp4", Text("FWS\x09rest"), "must be named .swf"},
      {"holiday.swf", mp4, "must not be named .swf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string path = Write(c.Name, c.Bytes);
    if (!c.Refusal) {
      EXPECT_NO_THROW(CheckMovieFile(path));
      continue;
    }
    try {
      CheckMovieFile(path);
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.Refusal), std::string::npos) << e.what();
    }
  }
}

TEST_F(MovieFileTest, AMovieInsideAFileIsDescribedFromItsOwnBytes) {
  TClipRecipe recipe;
  recipe.Segments = {{0xFF0000, 25}, {0x00FF00, 25}};
  recipe.Width = 96;
  recipe.Height = 64;
  recipe.AudioCodec = "aac";
  const std::vector<uint8_t> clip = ClipBytes(recipe, ".mp4");
  ASSERT_FALSE(clip.empty());
  // As in a screen saver: an engine's bytes before the movie, the settings after it.
  const std::string path = (FFolder.Path() / "saver.scr").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(3000, '\xEE');
    out.write(reinterpret_cast<const char*>(clip.data()),
              static_cast<std::streamsize>(clip.size()));
    out << std::string(500, '\xDD');
  }

  const TMovieFormat f = DescribeMovie(path, 3000, static_cast<int64_t>(clip.size()));
  EXPECT_EQ(f.Container, "mp4");
  EXPECT_EQ(f.VideoCodec, "h264");
  EXPECT_EQ(f.AudioCodec, "aac");
  EXPECT_EQ(f.Width, 96);
  EXPECT_EQ(f.Height, 64);
  EXPECT_NEAR(static_cast<double>(f.DurationMs), 2000.0, 100.0);
  EXPECT_EQ(f.Problem, "");

  // The same bytes cut to a third: the index at the end is out of the range.
  const TMovieFormat cut = DescribeMovie(path, 3000, static_cast<int64_t>(clip.size() / 3));
  EXPECT_EQ(cut.Container, "mp4");
  EXPECT_NE(cut.Problem, "");
  // Off by a byte: not a movie at all.
  EXPECT_EQ(DescribeMovie(path, 2999, static_cast<int64_t>(clip.size())).Container, "");
  // An SWF movie is named, not read.
  const std::string swf = Write("intro.swf", Text("FWS\x09rest"));
  const TMovieFormat old = DescribeMovie(swf, 0, 8);
  EXPECT_EQ(old.Container, "swf");
  EXPECT_EQ(old.VideoCodec, "");
}

}  // namespace
}  // namespace tovrin::testing
