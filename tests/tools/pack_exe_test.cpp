// Runs the real tovrin-pack executable: build, inspect --json, extract, and its refusals.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "scratch_dir.h"

#include "core/ansi_text.h"
#include "package/image.h"
#include "package/object_reader.h"
#include "package/object_writer.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"
#include "picture_samples.h"
#include "places/built_in_places.h"
#include "test_jpeg.h"
#include "tool_run.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
// Members keep the order the tool wrote them in, so the shape can be compared exactly.
using TJson = nlohmann::ordered_json;

std::vector<std::string> Names(const TJson& object) {
  std::vector<std::string> names;
  for (const auto& member : object.items()) names.push_back(member.key());
  return names;
}

using TBytes = std::vector<uint8_t>;
using TRun = test::TToolRun;
using test::ReadText;
using test::ShellQuote;

TBytes ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& p, const TBytes& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

class PackToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = test::ScratchDirFor("tovrin-pack");
    fs::create_directories(FDir / "in");
    // The engine is any executable file; a recognisable pattern shows it is copied unchanged.
    TBytes engine(5000);
    for (size_t i = 0; i < engine.size(); ++i) engine[i] = static_cast<uint8_t>(i * 7 + 3);
    engine[0] = 'M';
    engine[1] = 'Z';
    WriteBytes(Engine(), engine);
    WriteBytes(In("red.jpg"), test::MakeJpeg({16, 8, false, false, 1}));
    WriteBytes(In("grey.jpg"), test::MakeJpeg({8, 8, true, false, 2}));
    WriteBytes(In("steps.jpg"), test::MakeJpeg({24, 16, false, true, 3}));
    WriteBytes(In("tune.wav"), TBytes{'R', 'I', 'F', 'F', 1, 2, 3});
    WriteBytes(In("my song.mid"), TBytes{'M', 'T', 'h', 'd', 9});
    WriteBytes(In("intro.swf"), TBytes{'F', 'W', 'S', 4, 4, 4, 4, 4});
  }
  void TearDown() override { fs::remove_all(FDir); }

  fs::path Engine() const { return FDir / "engine"; }
  fs::path In(const std::string& name) const { return FDir / "in" / name; }
  fs::path Out() const { return FDir / "show.scr"; }

  TRun Run(const std::vector<std::string>& args, const std::string& tool = TOVRIN_PACK_EXE) {
    return test::RunTool(tool, args, FDir);
  }

  // A show of the three pictures, two sounds and a movie, with settings as options.
  TRun BuildFullShow() {
    return Run({"build",
                "--engine",
                Engine().string(),
                "-o",
                Out().string(),
                "--text",
                "Caf\xC3\xA9 \"du\" port",
                "--font-size",
                "24",
                "--font-color",
                "clRed",
                "--font-name",
                "Arial",
                "--interval",
                "3000",
                "--effects",
                "5,9,12",
                "--random-effects",
                "--stretch",
                "--sound",
                In("tune.wav").string(),
                "--sound",
                In("my song.mid").string(),
                "--movie",
                In("intro.swf").string(),
                "--sound-order",
                "random",
                "--title",
                "Harbour",
                "--author",
                "A. Author",
                "--email",
                "a@b.invalid",
                "--web",
                "https://b.invalid/",
                In("red.jpg").string(),
                In("grey.jpg").string(),
                In("steps.jpg").string()});
  }

  TJson InspectJson(const fs::path& file) {
    const TRun r = Run({"inspect", file.string(), "--json"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    return TJson::parse(r.Out);
  }

  // Files in a directory other than the ones named.
  std::vector<std::string> Entries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path FDir;
};

TEST_F(PackToolTest, BuildWritesTheLayoutThatInspectReports) {
  const TRun r = BuildFullShow();
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const TBytes file = ReadBytes(Out());
  const TBytes engine = ReadBytes(Engine());
  const int64_t size = static_cast<int64_t>(file.size());
  ASSERT_GT(size, 5040);
  EXPECT_TRUE(std::equal(engine.begin(), engine.end(), file.begin())) << "engine not copied";

  // Trailer: two 20-byte fields of digits padded with spaces.
  const std::string trailer(file.end() - 40, file.end());
  const int64_t packageLength = std::stoll(trailer.substr(0, 20));
  const int64_t settingsOffset = std::stoll(trailer.substr(20));
  EXPECT_EQ(trailer.substr(0, 20),
            (std::to_string(packageLength) + std::string(20, ' ')).substr(0, 20));
  EXPECT_EQ(trailer.substr(20),
            (std::to_string(settingsOffset) + std::string(20, ' ')).substr(0, 20));
  EXPECT_EQ(size - 40 - packageLength, 5000) << "the package must start where the engine ends";

  const TJson j = InspectJson(Out());
  EXPECT_EQ(j.at("packageLength").get<int64_t>(), packageLength);
  EXPECT_EQ(j.at("settingsOffset").get<int64_t>(), settingsOffset);

  // Pictures follow each other from the end of the engine, each holding its JPEG unchanged.
  const TJson& pics = j.at("pictures");
  ASSERT_EQ(pics.size(), 3u);
  int64_t expected = 5000;
  const char* names[] = {"red.jpg", "grey.jpg", "steps.jpg"};
  for (size_t i = 0; i < 3; ++i) {
    const TBytes jpeg = ReadBytes(In(names[i]));
    EXPECT_EQ(pics.at(i).at("offset").get<int64_t>(), expected) << names[i];
    EXPECT_EQ(pics.at(i).at("jpegLength").get<int64_t>(), static_cast<int64_t>(jpeg.size()));
    const int64_t jpegStart = expected + 75;  // the item ends with the JPEG and two 00 bytes
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), file.begin() + jpegStart)) << names[i];
    expected += 77 + static_cast<int64_t>(jpeg.size());
  }
  EXPECT_EQ(pics.at(0).at("width").get<int64_t>(), 16);
  EXPECT_EQ(pics.at(0).at("height").get<int64_t>(), 8);
  EXPECT_FALSE(pics.at(0).at("grayscale").get<bool>());
  EXPECT_TRUE(pics.at(1).at("grayscale").get<bool>());
  EXPECT_FALSE(pics.at(1).at("progressive").get<bool>());
  EXPECT_TRUE(pics.at(2).at("progressive").get<bool>());
  EXPECT_EQ(pics.at(2).at("width").get<int64_t>(), 24);

  // Then the sounds and the movie, unchanged, then the settings, ending at the trailer.
  const TJson& sounds = j.at("sounds");
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_EQ(sounds.at(0).at("name").get<std::string>(), "tune.wav");
  EXPECT_EQ(sounds.at(1).at("name").get<std::string>(), "my song.mid");
  EXPECT_EQ(sounds.at(0).at("offset").get<int64_t>(), expected);
  EXPECT_EQ(sounds.at(0).at("size").get<int64_t>(), 7);
  EXPECT_EQ(sounds.at(1).at("offset").get<int64_t>(), expected + 7);
  const TJson& movies = j.at("movies");
  ASSERT_EQ(movies.size(), 1u);
  EXPECT_EQ(movies.at(0).at("offset").get<int64_t>(), expected + 7 + 5);
  const TBytes swf = ReadBytes(In("intro.swf"));
  EXPECT_TRUE(
      std::equal(swf.begin(), swf.end(), file.begin() + movies.at(0).at("offset").get<int64_t>()));
  EXPECT_EQ(settingsOffset, expected + 7 + 5 + 8);

  TFileStream stream(Out().string(), TFileMode::fmOpenRead);
  stream.SetPosition(settingsOffset);
  TSSFileLocations settings;
  ReadObjectStream(stream, &settings);
  EXPECT_EQ(stream.Position(), size - 40)
      << "the settings object must end where the trailer begins";
}

TEST_F(PackToolTest, InspectJsonKeepsItsShape) {
  ASSERT_EQ(BuildFullShow().ExitCode, 0);
  const TJson j = InspectJson(Out());
  EXPECT_EQ(Names(j), (std::vector<std::string>{"packageLength", "settingsOffset", "settings",
                                                "pictures", "sounds", "movies", "mediaLeftOut"}));
  EXPECT_TRUE(j.at("mediaLeftOut").is_null());
  const TJson& s = j.at("settings");
  EXPECT_EQ(Names(s), (std::vector<std::string>{"Text",
                                                "TextFont",
                                                "lRandomStyle",
                                                "lRandomPic",
                                                "lClearOldImage",
                                                "lStretch",
                                                "Interval",
                                                "SoundRandom",
                                                "lSoundLoop",
                                                "lMute",
                                                "Title",
                                                "Author",
                                                "Email",
                                                "Web",
                                                "Ver",
                                                "EffectCommaList",
                                                "PicCommaList",
                                                "PicFileNamesCommaList",
                                                "SndCommaList",
                                                "SndFileNamesCommaList",
                                                "SndSizesCommaList",
                                                "FlashCommaList",
                                                "FlashFileNamesCommaList",
                                                "FlashSizesCommaList",
                                                "DescriptCommaList",
                                                "lShuffle",
                                                "PicFill",
                                                "lPicCaptions",
                                                "lMotion"}));
  EXPECT_EQ(Names(s.at("TextFont")),
            (std::vector<std::string>{"Name", "Height", "Color", "Charset", "Style", "Pitch"}));
  EXPECT_EQ(Names(j.at("pictures").at(0)),
            (std::vector<std::string>{"offset", "width", "height", "jpegLength", "grayscale",
                                      "progressive"}));
  EXPECT_EQ(Names(j.at("sounds").at(0)), (std::vector<std::string>{"offset", "name", "size"}));

  // Values as the settings hold them: text from Windows-1252 to UTF-8, numbers signed.
  EXPECT_EQ(s.at("Text").get<std::string>(), "Caf\xC3\xA9 \"du\" port");
  EXPECT_EQ(s.at("TextFont").at("Name").get<std::string>(), "Arial");
  EXPECT_EQ(s.at("TextFont").at("Height").get<int64_t>(), -32);
  EXPECT_EQ(s.at("TextFont").at("Color").get<int64_t>(), 255);
  EXPECT_EQ(s.at("TextFont").at("Charset").get<int64_t>(), 1);
  EXPECT_TRUE(s.at("TextFont").at("Style").empty());
  EXPECT_EQ(s.at("TextFont").at("Pitch").get<std::string>(), "fpDefault");
  EXPECT_TRUE(s.at("lRandomStyle").get<bool>());
  EXPECT_FALSE(s.at("lRandomPic").get<bool>());
  EXPECT_TRUE(s.at("lStretch").get<bool>());
  EXPECT_EQ(s.at("Interval").get<int64_t>(), 3000);
  EXPECT_EQ(s.at("SoundRandom").get<int64_t>(), 2);
  EXPECT_EQ(s.at("Ver").get<std::string>(), "photo");
  EXPECT_EQ(s.at("Title").get<std::string>(), "Harbour");
  ASSERT_EQ(s.at("EffectCommaList").size(), 3u);
  EXPECT_EQ(s.at("EffectCommaList")[2].get<std::string>(), "12");
  EXPECT_EQ(s.at("PicFileNamesCommaList")[1].get<std::string>(), "grey.jpg");
  EXPECT_EQ(s.at("SndFileNamesCommaList")[1].get<std::string>(), "my song.mid");
  EXPECT_EQ(s.at("PicCommaList")[0].get<std::string>(), "5000");
  EXPECT_EQ(s.at("FlashSizesCommaList")[0].get<std::string>(), "8");
  EXPECT_TRUE(s.at("DescriptCommaList").empty());
  EXPECT_FALSE(s.at("lShuffle").get<bool>());
  EXPECT_EQ(s.at("PicFill").get<int64_t>(), 0);
  EXPECT_FALSE(s.at("lMotion").get<bool>());
}

// The photo-frame choices reach the package and inspect names them; a package made without them
// is the same to the byte as one written before they existed (they are stored only when made).
TEST_F(PackToolTest, ShuffleFillAndMotionAreStoredOnlyWhenChosen) {
  const fs::path plain = FDir / "plain.scr";
  ASSERT_EQ(
      Run({"build", "--engine", Engine().string(), "-o", plain.string(), In("red.jpg").string()})
          .ExitCode,
      0);
  const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--shuffle",
                      "--fill", "blur", "--motion", In("red.jpg").string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const TJson s = InspectJson(Out()).at("settings");
  EXPECT_TRUE(s.at("lShuffle").get<bool>());
  EXPECT_EQ(s.at("PicFill").get<int64_t>(), 1);
  EXPECT_TRUE(s.at("lMotion").get<bool>());
  const TRun text = Run({"inspect", Out().string()});
  // The value on a label's line of the human form.
  const auto valueOf = [&text](const std::string& label) {
    const size_t at = text.Out.find("\n  " + label + " ");
    if (at == std::string::npos) return std::string("(no line)");
    const size_t start = text.Out.find_first_not_of(' ', at + 3 + label.size());
    return text.Out.substr(start, text.Out.find('\n', start) - start);
  };
  EXPECT_EQ(valueOf("PicFill"), "blur") << text.Out;
  EXPECT_EQ(valueOf("lShuffle"), "true") << text.Out;
  EXPECT_EQ(valueOf("lMotion"), "true") << text.Out;

  const TBytes plainBytes = ReadBytes(plain);
  const std::string plainText(plainBytes.begin(), plainBytes.end());
  EXPECT_EQ(plainText.find("lShuffle"), std::string::npos);
  EXPECT_EQ(plainText.find("PicFill"), std::string::npos);
  EXPECT_EQ(plainText.find("lMotion"), std::string::npos);
  // The chosen package differs only by the three properties (and the trailer's lengths).
  const TBytes chosen = ReadBytes(Out());
  EXPECT_EQ(chosen.size(), plainBytes.size() + (1 + 8 + 1) + (1 + 7 + 2) + (1 + 7 + 1));
}

// --caption: each picture's caption from what it says about itself, stored in DescriptCommaList
// in picture order (text the package's code page lacks becomes "?"), and lPicCaptions set.
TEST_F(PackToolTest, CaptionsFromThePhotosThemselves) {
  const TBytes plain = test::JpegOf(test::UprightPicture(16, 8));
  fs::create_directories(FDir / "in" / "Whitby");
  WriteBytes(FDir / "in" / "Whitby" / "a.jpg",
             test::WithSegment(plain, test::ExifSegment(test::CaptionTiff(false, "OLYMPUS",
                                                                          "2023:07:14 18:02:11"))));
  WriteBytes(
      FDir / "in" / "Whitby" / "b.jpg",
      test::WithSegment(test::WithSegment(plain, test::XmpSegment("Caf\xC3\xA9 \xE6\x97\xA5")),
                        test::ExifSegment(test::CaptionTiff(true, "", "2024:02:29 07:00:00"))));
  WriteBytes(FDir / "in" / "Whitby" / "c.jpg", plain);
  const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--caption",
                      "{date}, {description} - {folder}", (FDir / "in" / "Whitby").string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const TJson s = InspectJson(Out()).at("settings");
  EXPECT_TRUE(s.at("lPicCaptions").get<bool>());
  ASSERT_EQ(s.at("DescriptCommaList").size(), 3u);
  EXPECT_EQ(s.at("DescriptCommaList")[0].get<std::string>(), "14 July 2023, OLYMPUS - Whitby");
  EXPECT_EQ(s.at("DescriptCommaList")[1].get<std::string>(),
            "29 February 2024, Caf\xC3\xA9 ? - Whitby");
  EXPECT_EQ(s.at("DescriptCommaList")[2].get<std::string>(), "Whitby");

  const TRun bad = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--caption",
                        "{places}", In("red.jpg").string()});
  EXPECT_NE(bad.ExitCode, 0);
  EXPECT_NE(bad.Err.find("unknown field {places}"), std::string::npos) << bad.Err;
}

// {place}: the town nearest to the photo's GPS position from the table built into the tool, in
// the package's code page like every caption ("\xC5\x81" has no place in it and becomes "?"); a
// photo without a position, or far from any town, keeps the rest of its caption. A tool built
// without the table says so once and leaves {place} out.
TEST_F(PackToolTest, CaptionsWithThePlaceTheyWereTakenIn) {
  const TBytes plain = test::JpegOf(test::UprightPicture(16, 8));
  const auto photo = [&](const char* name, const TBytes& gps) {
    WriteBytes(
        FDir / name,
        test::WithSegment(test::WithSegment(plain, test::ExifSegment(gps)),
                          test::ExifSegment(test::CaptionTiff(false, "", "2023:07:14 18:02:11"))));
    return (FDir / name).string();
  };
  const std::string krakow = photo(
      "krakow.jpg",
      test::GpsTiff({false, "N", "E", {{50, 1}, {3, 1}, {42, 1}}, {{19, 1}, {56, 1}, {14, 1}}}));
  const std::string lodz = photo(
      "lodz.jpg", test::GpsTiff({true, "N", "E", {{51, 1}, {4555, 100}}, {{19, 1}, {2736, 100}}}));
  const std::string atSea =
      photo("sea.jpg", test::GpsTiff({false, "N", "W", {{30, 1}}, {{40, 1}}}));
  const std::string nowhere = photo("nowhere.jpg", test::GpsTiff({}));
  const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--caption",
                      "{date}, {place}", krakow, lodz, atSea, nowhere});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const TJson captions = InspectJson(Out()).at("settings").at("DescriptCommaList");
  ASSERT_EQ(captions.size(), 4u);
  if (BuiltInPlaceTable().empty()) {
    EXPECT_NE(r.Err.find("built without its table of places"), std::string::npos) << r.Err;
    EXPECT_EQ(captions[0].get<std::string>(), "14 July 2023");
  } else {
    EXPECT_EQ(r.Err.find("table of places"), std::string::npos) << r.Err;
    EXPECT_EQ(captions[0].get<std::string>(), "14 July 2023, Krak\xC3\xB3w, Poland");
    EXPECT_EQ(captions[1].get<std::string>(), "14 July 2023, ?\xC3\xB3\x64?, Poland");
  }
  EXPECT_EQ(captions[2].get<std::string>(), "14 July 2023");
  EXPECT_EQ(captions[3].get<std::string>(), "14 July 2023");
}

TEST_F(PackToolTest, DefaultsSettingsFileAndTheHumanForm) {
  std::ofstream(FDir / "show.ini") << "[Settings]\nText=from file\nInterval=100\n"
                                      "TextFont.Color=clWindowText\nTextFont.Style=bold,italic\n";
  const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--settings",
                      (FDir / "show.ini").string(), "--interval", "7000", In("red.jpg").string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const TJson s = InspectJson(Out()).at("settings");
  EXPECT_EQ(s.at("Text").get<std::string>(), "from file");
  EXPECT_EQ(s.at("Interval").get<int64_t>(), 7000);  // the option overrides the file
  EXPECT_EQ(s.at("TextFont").at("Color").get<int64_t>(),
            -2147483640);  // 80000008 hex as signed 32-bit
  EXPECT_EQ(s.at("TextFont").at("Style").size(), 2u);
  EXPECT_EQ(s.at("TextFont").at("Height").get<int64_t>(), -11);  // the font's own default, 8 points
  EXPECT_TRUE(s.at("SndCommaList").empty());

  const TRun text = Run({"inspect", Out().string()});
  ASSERT_EQ(text.ExitCode, 0) << text.Err;
  EXPECT_NE(text.Out.find("SettingsOffset"), std::string::npos) << text.Out;
  EXPECT_NE(text.Out.find("Pictures: 1"), std::string::npos) << text.Out;
  EXPECT_NE(text.Out.find("16 x 8"), std::string::npos) << text.Out;
  EXPECT_NE(text.Out.find("clWindowText"), std::string::npos) << text.Out;
}

// The photo options from the command line to the stored pictures: a folder with a subfolder,
// shrunk to the box with proportions kept; inspect says what is stored.
TEST_F(PackToolTest, FolderOfPhotosFittedToABox) {
  fs::create_directories(FDir / "album" / "day2");
  WriteBytes(FDir / "album" / "b.jpg", test::MakeJpeg({64, 32, false, false, 4}));
  WriteBytes(FDir / "album" / "day2" / "c.jpg", test::MakeJpeg({16, 48, false, false, 5}));
  const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--fit",
                      "32x32", "--quality", "70", "--recursive", (FDir / "album").string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_NE(r.Out.find("2 pictures (0 turned losslessly, 2 re-encoded)"), std::string::npos)
      << r.Out;
  const TJson pictures = InspectJson(Out()).at("pictures");
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].at("width").get<int>(), 32);
  EXPECT_EQ(pictures[0].at("height").get<int>(), 16);
  EXPECT_EQ(pictures[1].at("width").get<int>(), 11);
  EXPECT_EQ(pictures[1].at("height").get<int>(), 32);
  const TRun text = Run({"inspect", Out().string()});
  EXPECT_NE(text.Out.find("the largest picture 32 x 16"), std::string::npos) << text.Out;
}

TEST_F(PackToolTest, ExtractGivesBackTheSameBytes) {
  ASSERT_EQ(BuildFullShow().ExitCode, 0);
  const fs::path dir = FDir / "out" / "extracted";
  const TRun r = Run({"extract", Out().string(), dir.string()});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{"grey.jpg", "intro.swf", "my song.mid",
                                                    "red.jpg", "steps.jpg", "tune.wav"}));
  for (const char* name :
       {"red.jpg", "grey.jpg", "steps.jpg", "tune.wav", "my song.mid", "intro.swf"}) {
    EXPECT_EQ(ReadBytes(dir / name), ReadBytes(In(name))) << name;
  }
}

TEST_F(PackToolTest, UsesTheEngineBesideTheTool) {
  fs::create_directories(FDir / "bin");
  fs::copy_file(TOVRIN_PACK_EXE, FDir / "bin" / "tovrin-pack");
  const std::string tool = (FDir / "bin" / "tovrin-pack").string();
  const std::vector<std::string> args = {"build", "-o", Out().string(), In("red.jpg").string()};
  TRun r = Run(args, tool);
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("--engine"), std::string::npos) << r.Err;

  fs::copy_file(Engine(), FDir / "bin" / "tovrin");
  r = Run(args, tool);
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  const TBytes file = ReadBytes(Out());
  const TBytes engine = ReadBytes(Engine());
  EXPECT_TRUE(std::equal(engine.begin(), engine.end(), file.begin()));
}

TEST_F(PackToolTest, RefusedBuildsNameTheFileAndLeaveNothingBehind) {
  WriteBytes(In("notes.jpg"), TBytes{'h', 'e', 'l', 'l', 'o'});
  TBytes broken = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x02, 0x12, 0x34};  // starts like a JPEG only
  WriteBytes(In("broken.jpg"), broken);
  fs::create_directories(FDir / "in" / "other");
  WriteBytes(FDir / "in" / "other" / "TUNE.WAV", TBytes{1});
  // A sparse file of 2 GiB: the limit must be checked from sizes, before anything is read.
  {
    std::ofstream(In("huge.wav")).flush();
    fs::resize_file(In("huge.wav"), uintmax_t{1} << 31);
  }
  std::ofstream(Out()) << "previous";
  const std::string engine = Engine().string(), out = Out().string();
  const std::string red = In("red.jpg").string();
  struct TCase {
    std::vector<std::string> Args;
    std::string Named;
  };
  const std::vector<TCase> cases = {
      {{"build", "--engine", engine, "-o", out, red, In("notes.jpg").string()}, "notes.jpg"},
      {{"build", "--engine", engine, "-o", out, red, In("broken.jpg").string()}, "broken.jpg"},
      {{"build", "--engine", engine, "-o", out, red, In("missing.jpg").string()}, "missing.jpg"},
      {{"build", "--engine", (FDir / "no-engine").string(), "-o", out, red}, "no-engine"},
      {{"build", "--engine", engine, "-o", out, "--sound", In("tune.wav").string(), "--movie",
        (FDir / "in" / "other" / "TUNE.WAV").string(), red},
       "TUNE.WAV"},
      {{"build", "--engine", engine, "-o", out, "--sound", In("huge.wav").string(), red},
       "show.scr"},
      {{"build", "--engine", engine, "-o", out, "--settings", (FDir / "none.ini").string(), red},
       "none.ini"},
      // A directory opens like a file on POSIX and would report a nonsense size.
      {{"build", "--engine", engine, "-o", out, red, (FDir / "in" / "other").string()}, "other"},
      {{"build", "--engine", (FDir / "in" / "other").string(), "-o", out, red}, "other"},
  };
  for (const TCase& c : cases) {
    const TRun r = Run(c.Args);
    EXPECT_EQ(r.ExitCode, 1) << c.Named << ": " << r.Err;
    EXPECT_NE(r.Err.find(c.Named), std::string::npos) << r.Err;
    EXPECT_EQ(ReadText(Out()), "previous") << c.Named;
    EXPECT_EQ(Entries(FDir), (std::vector<std::string>{"engine", "in", "show.scr"})) << c.Named;
  }
  // An output that is one of the inputs would destroy that input when renamed into place.
  const TBytes photo = ReadBytes(In("red.jpg"));
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"build", "--engine", engine, "-o", red, red},
        std::vector<std::string>{"build", "--engine", engine, "-o", engine, red}}) {
    const TRun r = Run(args);
    EXPECT_EQ(r.ExitCode, 1) << r.Err;
    EXPECT_NE(r.Err.find("would replace the input"), std::string::npos) << r.Err;
  }
  EXPECT_EQ(ReadBytes(In("red.jpg")), photo);
  EXPECT_EQ(ReadBytes(Engine()).size(), 5000u);
}

// A sound or movie is stored under its file name, which the engine then creates on Windows or
// Linux: a name it would have to refuse is refused here, naming the file, before anything is
// written.
TEST_F(PackToolTest, BuildRefusesMediaNamesTheEngineCouldNotExtract) {
  fs::create_directories(FDir / "in" / "other");
  struct TCase {
    std::string Name;
    const char* Rule;
    const char* Option = "--sound";
  };
  const std::vector<TCase> cases = {
      {"CON.wav", "device"},       {"Com1.mid", "device", "--movie"},
      {"song.", "dot or a space"}, {"bell\x07.wav", "control"},
      {"what?.wav", "forbids"},    {"a<b>.swf", "forbids", "--movie"},
  };
  const std::string red = In("red.jpg").string();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteBytes(In(c.Name), TBytes{1, 2, 3});
    const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), c.Option,
                        In(c.Name).string(), red});
    EXPECT_EQ(r.ExitCode, 1) << r.Err;
    EXPECT_NE(r.Err.find(In("").string()), std::string::npos) << "names the file: " << r.Err;
    EXPECT_NE(r.Err.find(c.Rule), std::string::npos) << r.Err;
    EXPECT_FALSE(fs::exists(Out()));
    fs::remove(In(c.Name));
  }
  // Names that are one file on Windows, letter case ignored beyond ASCII too.
  WriteBytes(In("\xC3\x84rger.wav"), TBytes{1});
  WriteBytes(FDir / "in" / "other" / "\xC3\xA4RGER.WAV", TBytes{2});
  const TRun r = Run({"build", "--engine", Engine().string(), "-o", Out().string(), "--sound",
                      In("\xC3\x84rger.wav").string(), "--movie",
                      (FDir / "in" / "other" / "\xC3\xA4RGER.WAV").string(), red});
  EXPECT_EQ(r.ExitCode, 1) << r.Err;
  EXPECT_NE(r.Err.find("\xC3\xA4RGER.WAV\" is already used by"), std::string::npos) << r.Err;
  EXPECT_FALSE(fs::exists(Out()));
}

TEST_F(PackToolTest, CommandLineMistakesAndHelp) {
  TRun r = Run({"--help"});
  EXPECT_EQ(r.ExitCode, 0);
  EXPECT_NE(r.Out.find("tovrin-pack build"), std::string::npos);
  EXPECT_NE(r.Out.find("--font-color"), std::string::npos);
  r = Run({});
  EXPECT_EQ(r.ExitCode, 2);
  r = Run({"build", "-o", Out().string(), "--fast", In("red.jpg").string()});
  EXPECT_EQ(r.ExitCode, 2);
  EXPECT_NE(r.Err.find("--fast"), std::string::npos) << r.Err;
  EXPECT_FALSE(fs::exists(Out()));
}

// Writes a package by hand, with settings the tool itself would never write.
// craft, when given, changes the settings after the writer has filled in the item lists.
void AssemblePackage(const fs::path& path, const std::vector<std::string>& soundNames,
                     const std::vector<std::string>& pictureNames = {"pic.jpg"},
                     const std::function<void(TSSFileLocations&)>& craft = {}) {
  TMemoryStream file;
  const TBytes engine(300, 0x90);
  file.WriteBuffer(engine.data(), engine.size());
  const TBytes jpeg = test::MakeJpeg({8, 8, false, false, 4});
  TSSFileLocations settings;
  settings.PicFileNameList() = pictureNames;
  for (size_t i = 0; i < std::max<size_t>(pictureNames.size(), 1); ++i) {
    settings.PicList().push_back(std::to_string(file.Position()));
    WritePictureItem(file, jpeg);
  }
  for (const std::string& name : soundNames) {
    settings.SndList().push_back(std::to_string(file.Position()));
    settings.SndFileNameList().push_back(name);
    settings.SndSizeList().push_back("3");
    file.WriteBuffer("abc", 3);
  }
  if (craft) craft(settings);
  const int64_t settingsOffset = file.Position();
  WriteShowSettings(file, settings);
  std::string trailer = std::to_string(file.Position() - 300);
  trailer.resize(20, ' ');
  std::string second = std::to_string(settingsOffset);
  second.resize(20, ' ');
  trailer += second;
  file.WriteBuffer(trailer.data(), trailer.size());
  WriteBytes(path, file.Bytes());
}

TEST_F(PackToolTest, ExtractWritesNoMediaTheEngineWouldLeaveOut) {
  const fs::path dir = FDir / "x" / "y";
  AssemblePackage(FDir / "fine.scr", {"a.wav", "b.wav"});
  ASSERT_EQ(Run({"extract", (FDir / "fine.scr").string(), dir.string()}).ExitCode, 0);
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{"a.wav", "b.wav", "pic.jpg"}));
  fs::remove_all(FDir / "x");

  // The media go as a whole; the pictures are still written, and the exit status and the error
  // text name the rule that was broken.
  struct TCase {
    const char* What;
    std::vector<std::string> Sounds;
    std::function<void(TSSFileLocations&)> Craft;
    const char* Rule;
  };
  // Every entry names the whole range of the picture and the sound: 2,000 times about 700 bytes
  // from a package of about 40 KB (the settings grow with the entries).
  const auto repeat = [](TSSFileLocations& s) {
    const int32_t start = s.PicOffsetAt(0);
    const int32_t size = s.SndOffsetAt(0) + 3 - start;
    for (int i = 0; i < 2000; ++i) {
      s.SndList().push_back(std::to_string(start));
      s.SndFileNameList().push_back("copy" + std::to_string(i) + ".wav");
      s.SndSizeList().push_back(std::to_string(size));
    }
  };
  const std::vector<TCase> cases = {
      {"a path", {"a.wav", "../evil.wav"}, {}, "forbids"},
      {"empty", {"a.wav", ""}, {}, "is empty"},
      {"a device", {"a.wav", "COM1.wav"}, {}, "device"},
      {"a last dot", {"song."}, {}, "dot or a space"},
      {"a name twice", {"a.wav", "A.WAV"}, {}, "has the name of"},
      {"a name twice beyond ASCII", {"\xC4rger.wav", "\xE4rger.wav"}, {}, "has the name of"},
      {"one range 2,000 times", {"a.wav"}, repeat, "add up to more than the package's own"},
      {"outside the package",
       {"a.wav"},
       [](TSSFileLocations& s) { s.SndList()[0] = "10"; },
       "outside the package"},
      {"a negative size",
       {"a.wav"},
       [](TSSFileLocations& s) { s.SndSizeList()[0] = "-3"; },
       "negative size"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    AssemblePackage(FDir / "bad.scr", c.Sounds, {"pic.jpg"}, c.Craft);
    const TRun r = Run({"extract", (FDir / "bad.scr").string(), dir.string()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("no sound or movie was extracted"), std::string::npos) << r.Err;
    EXPECT_NE(r.Err.find(c.Rule), std::string::npos) << r.Err;
    ASSERT_TRUE(fs::is_directory(dir));
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"pic.jpg"}));
    EXPECT_FALSE(fs::exists(FDir / "x" / "evil.wav"));

    // inspect shows the same, and succeeds: it only reports.
    const TRun text = Run({"inspect", (FDir / "bad.scr").string()});
    EXPECT_EQ(text.ExitCode, 0) << text.Err;
    EXPECT_NE(text.Out.find("The show leaves out every sound and movie: "), std::string::npos);
    EXPECT_NE(text.Out.find(c.Rule), std::string::npos) << text.Out;
    const TJson json = InspectJson(FDir / "bad.scr");
    EXPECT_NE(json.at("mediaLeftOut").get<std::string>().find(c.Rule), std::string::npos);
    fs::remove_all(FDir / "x");
  }

  // Picture names only record the sources: unusable or repeated ones get numbered names.
  AssemblePackage(FDir / "pics.scr", {"s.jpg"},
                  {"../up.jpg", "x.jpg", "X.JPG", "picture-5.jpg", "", "photo", "S.JPG", "CON",
                   "\xE9t\xE9.jpg", "\xC9T\xC9.JPG"});
  const TRun pics = Run({"extract", (FDir / "pics.scr").string(), dir.string()});
  ASSERT_EQ(pics.ExitCode, 0) << pics.Err;
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{
                              "photo.jpg", "picture-1.jpg", "picture-10.jpg", "picture-3.jpg",
                              "picture-5-2.jpg", "picture-5.jpg", "picture-7.jpg", "picture-8.jpg",
                              "s.jpg", "x.jpg", "\xC3\xA9t\xC3\xA9.jpg"}));
  EXPECT_NE(pics.Err.find("../up.jpg"), std::string::npos) << pics.Err;
  EXPECT_FALSE(fs::exists(FDir / "x" / "up.jpg"));
}

// What stands in the folder before extracting, and what extract must leave there.
enum class TBefore { bNothing, bFile, bLinkToOutside, bDanglingLink };

TEST_F(PackToolTest, ExtractNeverReplacesAFileUnlessAskedAndNeverFollowsALink) {
  const fs::path dir = FDir / "x";
  const fs::path outside = FDir / "outside.txt";
  struct TCase {
    const char* What;
    std::vector<std::string> Sounds;
    std::vector<std::string> Pictures;
    TBefore Before;  // at dir/"b.wav"
    bool Overwrite;
    int Exit;
    const char* ErrHas;  // in the error text when refused
    bool Replaced;       // dir/"b.wav" holds the package's bytes afterwards
  };
  const std::vector<TCase> cases = {
      {"free names", {"a.wav", "b.wav"}, {"pic.jpg"}, TBefore::bNothing, false, 0, "", true},
      {"a file there", {"a.wav", "b.wav"}, {"pic.jpg"}, TBefore::bFile, false, 1, "b.wav", false},
      {"a file, overwrite", {"a.wav", "b.wav"}, {"pic.jpg"}, TBefore::bFile, true, 0, "", true},
      {"a link there",
       {"a.wav", "b.wav"},
       {"pic.jpg"},
       TBefore::bLinkToOutside,
       false,
       1,
       "b.wav",
       false},
      {"a dangling link",
       {"a.wav", "b.wav"},
       {"pic.jpg"},
       TBefore::bDanglingLink,
       false,
       1,
       "b.wav",
       false},
      {"a link, overwrite",
       {"a.wav", "b.wav"},
       {"pic.jpg"},
       TBefore::bLinkToOutside,
       true,
       0,
       "",
       true},
      {"a dangling link, overwrite",
       {"a.wav", "b.wav"},
       {"pic.jpg"},
       TBefore::bDanglingLink,
       true,
       0,
       "",
       true},
      {"a dot sound",
       {"a.wav", ".profile"},
       {"pic.jpg"},
       TBefore::bNothing,
       false,
       1,
       ".profile",
       false},
      {"a dot sound, overwrite",
       {".bashrc"},
       {"pic.jpg"},
       TBefore::bNothing,
       true,
       1,
       ".bashrc",
       false},
      {"a dot picture",
       {"a.wav"},
       {".hidden.jpg"},
       TBefore::bNothing,
       false,
       1,
       ".hidden.jpg",
       false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    fs::remove_all(dir);
    fs::create_directories(dir);
    WriteBytes(outside, TBytes{'k', 'e', 'e', 'p'});
    const fs::path target = dir / "b.wav";
    if (c.Before == TBefore::bFile) WriteBytes(target, TBytes{'m', 'i', 'n', 'e'});
    if (c.Before == TBefore::bLinkToOutside) fs::create_symlink(outside, target);
    if (c.Before == TBefore::bDanglingLink) fs::create_symlink(FDir / "planted.txt", target);
    const std::vector<std::string> before = Entries(dir);

    AssemblePackage(FDir / "p.scr", c.Sounds, c.Pictures);
    std::vector<std::string> args = {"extract", (FDir / "p.scr").string(), dir.string()};
    if (c.Overwrite) args.push_back("--overwrite");
    const TRun r = Run(args);
    EXPECT_EQ(r.ExitCode, c.Exit) << r.Err;
    EXPECT_NE(r.Err.find(c.ErrHas), std::string::npos) << r.Err;
    if (c.Exit != 0) {
      EXPECT_EQ(Entries(dir), before) << "something was written";
    }
    // The file the link pointed to is never written through, and no link target is created.
    EXPECT_EQ(ReadText(outside), "keep");
    EXPECT_FALSE(fs::exists(FDir / "planted.txt"));
    if (c.Replaced) {
      EXPECT_FALSE(fs::is_symlink(target));
      EXPECT_EQ(ReadText(target), "abc");
    } else if (c.Before == TBefore::bFile) {
      EXPECT_EQ(ReadText(target), "mine");
    }
  }
}

// The bytes a terminal could take as the start of a control sequence.
bool HoldsControlCharacters(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
        static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      return true;
    }
  }
  return false;
}

TEST_F(PackToolTest, PackageTextReachesTheTerminalWithControlCharactersEscaped) {
  struct TCase {
    std::string Stored;  // a sound name, as stored (Windows-1252)
    std::string Shown;   // what the text form shows of it
  };
  const std::vector<TCase> cases = {
      {"\x1b]0;owned\x07.wav", "\\x1b]0;owned\\x07.wav"},
      {"del\x7f.wav", "del\\x7f.wav"},
      {"c1\x81\x8d.wav", "c1\\x81\\x8d.wav"},  // undefined bytes: U+0081, U+008D
      {"line\nbreak.wav", "line\\x0abreak.wav"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Shown);
    // The name as a sound name, a picture name and in the comma lists of the text form.
    AssemblePackage(FDir / "p.scr", {c.Stored}, {c.Stored});
    const TRun text = Run({"inspect", (FDir / "p.scr").string()});
    ASSERT_EQ(text.ExitCode, 0) << text.Err;
    EXPECT_FALSE(HoldsControlCharacters(text.Out)) << text.Out;
    EXPECT_NE(text.Out.find("\"" + c.Shown + "\""), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("SndFileNamesCommaList    " + c.Shown), std::string::npos) << text.Out;

    // JSON keeps the exact value.
    const TJson json = InspectJson(FDir / "p.scr");
    EXPECT_EQ(json.at("sounds").at(0).at("name").get<std::string>(), AnsiToUtf8(c.Stored));

    // Refusals quote the name in the error text.
    AssemblePackage(FDir / "bad.scr", {"sub/" + c.Stored});
    const TRun bad = Run({"extract", (FDir / "bad.scr").string(), (FDir / "x").string()});
    EXPECT_EQ(bad.ExitCode, 1);
    EXPECT_FALSE(HoldsControlCharacters(bad.Err)) << bad.Err;
    EXPECT_NE(bad.Err.find("sub/" + c.Shown), std::string::npos) << bad.Err;
    fs::remove_all(FDir / "x");
  }
}

TEST_F(PackToolTest, DamagedPackagesFailWithTheReadersMessage) {
  ASSERT_EQ(BuildFullShow().ExitCode, 0);
  const TBytes good = ReadBytes(Out());
  const int64_t settingsOffset = InspectJson(Out()).at("settingsOffset").get<int64_t>();
  const fs::path bad = FDir / "bad.scr";

  TBytes b = good;
  b[static_cast<size_t>(settingsOffset)] = 'X';  // the settings' "TPF0"
  WriteBytes(bad, b);
  TRun r = Run({"inspect", bad.string(), "--json"});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("Invalid stream format"), std::string::npos) << r.Err;
  EXPECT_TRUE(r.Out.empty()) << "no half report on standard output";

  b = good;
  b[5000 + 1] = 'Q';  // the first picture item's "TPF0"
  WriteBytes(bad, b);
  r = Run({"inspect", bad.string()});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("Invalid stream format"), std::string::npos) << r.Err;

  WriteBytes(bad, TBytes(39, 'z'));  // shorter than a trailer
  r = Run({"inspect", bad.string()});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("too short"), std::string::npos) << r.Err;

  r = Run({"inspect", FDir.string()});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("not a regular file"), std::string::npos) << r.Err;

  r = Run({"inspect", (FDir / "nothing.scr").string()});
  EXPECT_EQ(r.ExitCode, 1);
  EXPECT_NE(r.Err.find("Cannot open file"), std::string::npos) << r.Err;

  // Cut short at many lengths, the file is refused cleanly (exit 1, never a crash).
  for (size_t length = 0; length < good.size(); length += 211) {
    WriteBytes(bad, TBytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length)));
    r = Run({"inspect", bad.string(), "--json"});
    EXPECT_EQ(r.ExitCode, 1) << "length " << length << ": " << r.Err;
    EXPECT_EQ(r.Err.rfind("tovrin-pack: ", 0), 0u) << r.Err;
  }
}

}  // namespace
}  // namespace tovrin
