#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "scratch_dir.h"

#include "command_line.h"
#include "core/errors.h"
#include "option_values.h"
#include "pack_settings.h"
#include "package/ss_file_locations.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

TEST(OptionValuesTest, ColoursByNameHexAndNumber) {
  EXPECT_EQ(ParseColor("c", "clRed"), 0x0000FF);
  EXPECT_EQ(ParseColor("c", "CLYELLOW"), 0x00FFFF);
  EXPECT_EQ(ParseColor("c", "clWindowText"), static_cast<int32_t>(0x80000008u));
  // Web order is converted to the stored 00BBGGRR; 0x gives the stored value itself.
  EXPECT_EQ(ParseColor("c", "#FF8000"), 0x0080FF);
  EXPECT_EQ(ParseColor("c", "0xFF8000"), 0xFF8000);
  EXPECT_EQ(ParseColor("c", "255"), 255);
  for (const char* bad : {"", "red", "#FFF", "#GG0000", "0x", "0x123456789", "12a"}) {
    EXPECT_THROW(ParseColor("--font-color", bad), EConvertError) << bad;
  }
}

TEST(OptionValuesTest, FontSizeInPointsBecomesNegativeHeight) {
  EXPECT_EQ(FontHeightForPoints(24), -32);
  EXPECT_EQ(FontHeightForPoints(8), -11);  // 10.67 rounds to 11
  EXPECT_EQ(FontHeightForPoints(9), -12);
  EXPECT_EQ(FontHeightForPoints(1), -1);
}

TEST(OptionValuesTest, EffectsBooleansAndStyles) {
  EXPECT_EQ(ParseEffects("e", "5,9, 12"), (std::vector<int32_t>{5, 9, 12}));
  EXPECT_EQ(ParseEffects("e", "0 127"), (std::vector<int32_t>{0, 127}));
  EXPECT_TRUE(ParseEffects("e", "").empty());
  EXPECT_THROW(ParseEffects("e", "5,128"), EConvertError);
  EXPECT_THROW(ParseEffects("e", "-1"), EConvertError);
  EXPECT_THROW(ParseEffects("e", "five"), EConvertError);
  EXPECT_TRUE(ParseBoolean("b", "Yes"));
  EXPECT_FALSE(ParseBoolean("b", "off"));
  EXPECT_THROW(ParseBoolean("b", "2"), EConvertError);
  EXPECT_EQ(ParseFontStyles("s", "bold,fsItalic"), 0x3);
  EXPECT_THROW(ParseFontStyles("s", "heavy"), EConvertError);
  EXPECT_EQ(ParseFontPitch("p", "fixed"), 2);
  EXPECT_EQ(ParseCharset("c", "EASTEUROPE_CHARSET"), 238);
  EXPECT_THROW(ParseCharset("c", "256"), EConvertError);
  EXPECT_EQ(ParsePicFill("f", "Blur"), 1);
  EXPECT_EQ(ParsePicFill("f", "black"), 0);
  EXPECT_EQ(ParsePicFill("f", "1"), 1);
  EXPECT_THROW(ParsePicFill("f", "2"), EConvertError);
  EXPECT_THROW(ParsePicFill("f", "blurry"), EConvertError);
}

TEST(CommandLineTest, BuildOptionsAndOperands) {
  const TCommandLine cl =
      ParseCommandLine({"build", "-o", "out.scr", "--interval=3000", "--effects", "5,9,12",
                        "--stretch", "--mute=no", "--sound", "a.wav", "--sound", "b.mid", "--movie",
                        "m.swf", "--text", "caf\xC3\xA9", "p1.jpg", "--", "-odd.jpg"});
  ASSERT_EQ(cl.Command, TPackCommand::pcBuild);
  const TBuildRequest& b = cl.Build;
  EXPECT_EQ(b.OutputPath, "out.scr");
  EXPECT_EQ(b.Pictures, (std::vector<std::string>{"p1.jpg", "-odd.jpg"}));
  EXPECT_EQ(b.Sounds, (std::vector<std::string>{"a.wav", "b.mid"}));
  EXPECT_EQ(b.Movies, (std::vector<std::string>{"m.swf"}));
  EXPECT_EQ(b.Options.Interval, 3000);
  EXPECT_EQ(b.Options.Stretch, true);
  EXPECT_EQ(b.Options.Mute, false);
  EXPECT_EQ(b.Options.Text, "caf\xE9");  // stored in Windows-1252
  EXPECT_FALSE(b.Options.RandomPic.has_value());
  EXPECT_FALSE(b.Options.Shuffle.has_value());
  EXPECT_FALSE(b.Options.Motion.has_value());
  EXPECT_FALSE(b.Options.PicFill.has_value());
  const TCommandLine photo = ParseCommandLine(
      {"build", "-o", "out.scr", "--shuffle", "--fill", "blur", "--motion=yes", "p1.jpg"});
  EXPECT_EQ(photo.Build.Options.Shuffle, true);
  EXPECT_EQ(photo.Build.Options.PicFill, 1);
  EXPECT_EQ(photo.Build.Options.Motion, true);
}

TEST(CommandLineTest, KindMovieIsThePlainSpellingOfFlash) {
  const struct {
    const char* Given;
    const char* Stored;
  } cases[] = {{"movie", "flash"}, {"flash", "flash"}, {"photo", "photo"}, {"Movie", "Movie"}};
  for (const auto& c : cases) {
    const TCommandLine cl =
        ParseCommandLine({"build", "-o", "out.scr", "--kind", c.Given, "--movie", "m.mp4"});
    EXPECT_EQ(cl.Build.Options.Ver, c.Stored) << c.Given;
  }
}

TEST(CommandLineTest, MistakesAreUsageErrors) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"frobnicate"},
      {"build", "p.jpg"},                            // no output
      {"build", "-o", "x.scr"},                      // nothing to pack
      {"build", "-o", "x.scr", "--bogus", "p.jpg"},  // unknown option
      {"build", "-o", "x.scr", "p.jpg", "--interval"},
      {"build", "-o", "x.scr", "--interval=-5", "p.jpg"},
      {"build", "-o", "x.scr", "--stretch=maybe", "p.jpg"},
      {"build", "-o", "x.scr", "--fill", "white", "p.jpg"},
      {"build", "-o", "x.scr", "--text", "\xE6\x97\xA5", "p.jpg"},
      {"inspect"},
      {"inspect", "a", "b"},
      {"inspect", "a", "--xml"},
      {"extract", "a"},
  };
  for (const auto& args : bad) {
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_THROW(ParseCommandLine(args), EUsageError) << shown;
  }
  EXPECT_EQ(ParseCommandLine({"build", "--help"}).Command, TPackCommand::pcHelp);
  EXPECT_TRUE(ParseCommandLine({"inspect", "x.scr", "--json"}).Inspect.Json);
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { FDir = test::ScratchDirFor("tovrin-settings"); }
  void TearDown() override { fs::remove_all(FDir); }
  std::string Write(const std::string& text) {
    const std::string path = (FDir / "show.ini").string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  fs::path FDir;
};

TEST_F(SettingsFileTest, KeysAreThePropertyNamesAndOptionsOverrideThem) {
  const std::string path = Write(
      "[Settings]\r\nText=Caf\xC3\xA9 du port\r\nTextFont.Size=24\r\ntextfont.color=#FF0000\r\n"
      "TextFont.Style=bold\r\nInterval=4000\r\nEffectCommaList=5,9,12\r\nlStretch=1\r\n"
      "Ver=flash\r\nDescriptCommaList=one,\"two words\"\r\nlShuffle=yes\r\nPicFill=blur\r\n"
      "lMotion=1\r\n");
  TPackSettings settings = ReadPackSettingsFile(path);
  TPackSettings options;
  options.Interval = 1000;
  settings.MergeFrom(options);
  TSSFileLocations object;
  settings.ApplyTo(object);
  EXPECT_EQ(object.Text(), "Caf\xE9 du port");
  EXPECT_EQ(object.TextFont().Height(), -32);
  EXPECT_EQ(object.TextFont().Color(), 0x0000FF);
  EXPECT_EQ(object.TextFont().Style(), 1);
  EXPECT_EQ(object.Interval(), 1000);  // the option wins
  EXPECT_EQ(object.EffectList(), (TStringList{"5", "9", "12"}));
  EXPECT_TRUE(object.lStretch());
  EXPECT_FALSE(object.lRandomPic());
  EXPECT_EQ(object.Ver(), "flash");
  EXPECT_EQ(object.DescriptList(), (TStringList{"one", "two words"}));
  EXPECT_TRUE(object.lShuffle());
  EXPECT_TRUE(object.lMotion());
  EXPECT_EQ(object.PicFill(), pfBlur);
}

TEST_F(SettingsFileTest, UnsetValuesGetTheToolDefaults) {
  TSSFileLocations object;
  TPackSettings().ApplyTo(object);
  EXPECT_EQ(object.Interval(), DefaultPackInterval);
  EXPECT_EQ(object.Ver(), "photo");
  EXPECT_EQ(object.TextFont().Name(), "MS Sans Serif");
  EXPECT_TRUE(object.EffectList().empty());
  EXPECT_FALSE(object.lShuffle());
  EXPECT_FALSE(object.lMotion());
  EXPECT_EQ(object.PicFill(), pfBlack);
}

TEST_F(SettingsFileTest, RefusesWhatItCannotTake) {
  // A typing mistake must not pass silently, nor may a list the tool computes be overridden.
  for (const char* text :
       {"[Settings]\nIntervall=5\n", "[Settings]\nPicCommaList=1,2\n",
        "[Settings]\nSndFileNamesCommaList=a.wav\n", "[Show]\nInterval=5\n",
        "[Settings]\nInterval=soon\n", "[Settings]\nTextFont.Size=10\nTextFont.Height=-20\n"}) {
    EXPECT_THROW(ReadPackSettingsFile(Write(text)), EConvertError) << text;
  }
  try {
    ReadPackSettingsFile(Write("[Settings]\nlStrech=1\n"));
    FAIL() << "an unknown key was accepted";
  } catch (const EConvertError& e) {
    EXPECT_NE(e.Message().find("show.ini"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("lStrech"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(ReadPackSettingsFile((FDir / "missing.ini").string()), EFOpenError);
}

}  // namespace
}  // namespace tovrin
