#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include <unistd.h>

#include "core/errors.h"
#include "core/paths.h"
#include "package/object_writer.h"
#include "package/package_locator.h"
#include "test_jpeg.h"

namespace fs = std::filesystem;

namespace tovrin {
namespace {

std::string Field(int64_t v) {
  std::string s = std::to_string(v);
  s.resize(20, ' ');
  return s;
}

// path is UTF-8, as the engine's paths are.
std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream f(PathFromUtf8(path), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

class PackageLocator : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStreamClass(TSSFileLocations::StaticClassInfo());
    RegisterStreamClass(TImage::StaticClassInfo());
    FDir = fs::temp_directory_path() /
           ("tovrin_locator_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir / "tmp");
    FTemp = (FDir / "tmp").string() + PathDelim;
  }
  void TearDown() override { fs::remove_all(FDir); }

  // A program image of imageSize bytes, then the pictures, the sounds, the settings and the
  // trailer, as the authoring tool lays them out.
  std::string BuildProgram(TSSFileLocations& settings,
                           const std::vector<std::vector<uint8_t>>& pics,
                           const std::vector<std::pair<std::string, std::string>>& sounds,
                           size_t imageSize = 3000) {
    TMemoryStream file;
    const std::string image(imageSize, 'M');
    file.WriteBuffer(image.data(), image.size());
    std::vector<std::string> offsets, names, sizes;
    for (const auto& jpeg : pics) {
      offsets.push_back(std::to_string(file.Position()));
      WritePictureItem(file, jpeg);
    }
    settings.PicList() = offsets;
    offsets.clear();
    for (const auto& [name, content] : sounds) {
      offsets.push_back(std::to_string(file.Position()));
      names.push_back(name);
      sizes.push_back(std::to_string(content.size()));
      file.WriteBuffer(content.data(), content.size());
    }
    settings.SndList() = offsets;
    settings.SndFileNameList() = names;
    settings.SndSizeList() = sizes;
    const int64_t settingsOffset = file.Position();
    WriteShowSettings(file, settings);
    const int64_t packageLength = file.Position() - static_cast<int64_t>(imageSize);
    const std::string trailer = Field(packageLength) + Field(settingsOffset);
    file.WriteBuffer(trailer.data(), trailer.size());
    const std::string path = (FDir / "show.scr").string();
    TFileStream out(path, TFileMode::fmCreate);
    out.WriteBuffer(file.Bytes().data(), file.Bytes().size());
    return path;
  }

  fs::path FDir;
  std::string FTemp;
};

TEST(PackageTrailer, WorkedExampleAndOddFields) {
  // The 4337817-byte example: only the last 40 bytes matter to the trailer.
  std::vector<uint8_t> bytes(4337817, 0);
  const std::string trailer = Field(1542769) + Field(4336699);
  std::copy(trailer.begin(), trailer.end(), bytes.end() - 40);
  TMemoryStream s(std::move(bytes));
  const TPackageTrailer t = ReadPackageTrailer(s);
  EXPECT_TRUE(t.Ok);
  EXPECT_EQ(t.PackageLength, 1542769);
  EXPECT_EQ(t.SettingsOffset, 4336699);
  EXPECT_EQ(s.Size() - 40 - t.PackageLength, 2795008);

  const std::string spaces(40, ' ');
  TMemoryStream blank(std::vector<uint8_t>(spaces.begin(), spaces.end()));
  const TPackageTrailer b = ReadPackageTrailer(blank);
  EXPECT_TRUE(b.Ok);
  EXPECT_EQ(b.PackageLength, 0);
  EXPECT_EQ(b.SettingsOffset, 0);

  const std::string odd = "  12\t               " + std::string("x9                  ");
  TMemoryStream oddStream(std::vector<uint8_t>(odd.begin(), odd.end()));
  const TPackageTrailer o = ReadPackageTrailer(oddStream);
  EXPECT_EQ(o.PackageLength, 12);
  EXPECT_EQ(o.SettingsOffset, 0);

  TMemoryStream shortFile(std::vector<uint8_t>(39, '1'));
  EXPECT_FALSE(ReadPackageTrailer(shortFile).Ok);
}

TEST_F(PackageLocator, FileWithoutPackage) {
  const std::string path = (FDir / "plain.exe").string();
  {
    TFileStream f(path, TFileMode::fmCreate);
    const std::string body = "MZ" + std::string(500, '\x90');
    f.WriteBuffer(body.data(), body.size());
  }
  auto stream = OpenSelfStream(path);
  const TPackageTrailer t = ReadPackageTrailer(*stream);
  EXPECT_EQ(t.SettingsOffset, 0);
  try {
    ReadShowSettings(*stream, t.SettingsOffset, nullptr);
    FAIL();
  } catch (const EFilerError& e) {
    EXPECT_EQ(e.Message(), "Invalid stream format");
  }
  EXPECT_THROW(OpenSelfStream((FDir / "missing.exe").string()), EFOpenError);
}

TEST_F(PackageLocator, ReadsSettingsPicturesAndMedia) {
  TSSFileLocations authored;
  authored.SetInterval(4000);
  authored.SetVer("photo");
  const std::vector<uint8_t> jpegA = test::MakeJPEG(20, 10), jpegB = test::MakeJPEG(7, 5, true);
  const std::string path =
      BuildProgram(authored, {jpegA, jpegB}, {{"sea song.mp3", "0123456789"}, {"b.wav", ""}});

  auto stream = OpenSelfStream(path);
  const TPackageTrailer t = ReadPackageTrailer(*stream);
  ASSERT_TRUE(t.Ok);
  EXPECT_EQ(stream->Size() - 40 - t.PackageLength, 3000);  // the package starts behind the image
  TSSFileLocations settings;
  EXPECT_EQ(ReadShowSettings(*stream, t.SettingsOffset, &settings), nullptr);
  EXPECT_EQ(settings.Interval(), 4000);
  EXPECT_EQ(settings.PicCount(), 2);
  EXPECT_EQ(settings.PicOffsetAt(0), 3000);
  EXPECT_EQ(settings.SndFileNameAt(0), "sea song.mp3");
  EXPECT_EQ(stream->Position(), stream->Size() - 40);  // the settings end at the trailer

  auto created = ReadShowSettings(*stream, t.SettingsOffset, nullptr);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->Ver(), "photo");

  std::unique_ptr<TImage> b = ReadPictureItem(path, settings, 1);
  const auto* graphic = dynamic_cast<const TJPEGImage*>(b->Picture().Graphic());
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(graphic->Data(), jpegB);
  EXPECT_TRUE(graphic->Grayscale());
  EXPECT_THROW(ReadPictureItem(path, settings, 2), EListError);

  // A settings offset that points at a picture item does not pass for settings.
  EXPECT_THROW(ReadShowSettings(*stream, settings.PicOffsetAt(0), nullptr), EFilerError);
  EXPECT_THROW(ReadShowSettings(*stream, -5, nullptr), EReadError);

  ExtractMediaFiles(settings, *stream, FTemp);
  EXPECT_EQ(ReadAll(MediaFilePath("sea song.mp3", FTemp)),
            std::vector<uint8_t>({'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
  // Size 0 gives an empty file, never a copy of the whole program.
  EXPECT_TRUE(fs::exists(MediaFilePath("b.wav", FTemp)));
  EXPECT_EQ(fs::file_size(MediaFilePath("b.wav", FTemp)), 0u);

  DeleteMediaFiles(settings, FTemp);
  EXPECT_TRUE(fs::is_empty(FTemp));
}

TEST_F(PackageLocator, UnsafeOrBrokenMediaEntriesWriteNothing) {
  const std::vector<std::string> badNames = {"../escape.mp3", "sub/dir.mp3", "", "..",
                                             "C:evil.mp3",    "a\\b.mp3"};
  for (const std::string& bad : badNames) {
    TSSFileLocations settings;
    const std::string path = BuildProgram(settings, {}, {{"fine.mp3", "abc"}, {bad, "xyz"}});
    auto stream = OpenSelfStream(path);
    EXPECT_THROW(ExtractMediaFiles(settings, *stream, FTemp), EUnsafeContent) << bad;
    EXPECT_TRUE(fs::is_empty(FTemp)) << "nothing may be written before the check: " << bad;
    EXPECT_FALSE(fs::exists(FDir / "escape.mp3"));
  }

  TSSFileLocations negative;
  const std::string path = BuildProgram(negative, {}, {{"a.mp3", "abc"}});
  auto stream = OpenSelfStream(path);
  negative.SetSndSizesCommaList("-1");
  EXPECT_THROW(ExtractMediaFiles(negative, *stream, FTemp), EReadError);
  EXPECT_TRUE(fs::is_empty(FTemp));

  // A name list shorter than the offset list fails at once, before any file is made.
  TSSFileLocations shortNames;
  shortNames.SetSndCommaList("3000,3001");
  shortNames.SetSndFileNamesCommaList("a.mp3");
  shortNames.SetSndSizesCommaList("1,1");
  EXPECT_THROW(ExtractMediaFiles(shortNames, *stream, FTemp), EListError);
  EXPECT_TRUE(fs::is_empty(FTemp));
  DeleteMediaFiles(shortNames, FTemp);  // never throws

  // A size past the end of the file: "Stream read error", the bytes before the end stay.
  TSSFileLocations tooLong;
  tooLong.SetSndCommaList(std::to_string(stream->Size() - 4));
  tooLong.SetSndFileNamesCommaList("tail.bin");
  tooLong.SetSndSizesCommaList("100");
  try {
    ExtractMediaFiles(tooLong, *stream, FTemp);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  EXPECT_EQ(fs::file_size(MediaFilePath("tail.bin", FTemp)), 4u);
}

// Stored media names are package text (Windows-1252); the files they become are named in UTF-8,
// the encoding of every path, so that extracting, playing and deleting meet the same file. A raw
// byte such as E9 is not a valid file name on Windows' wide API and is a different name on Linux.
TEST_F(PackageLocator, StoredMediaNamesBecomeUtf8FileNames) {
  struct TCase {
    std::string Stored;  // Windows-1252
    std::string OnDisk;  // UTF-8
  } const cases[] = {
      {"plain.wav", "plain.wav"},
      {"\xC9t\xE9 \xE0 la mer.wav", "\xC3\x89t\xC3\xA9 \xC3\xA0 la mer.wav"},
      {"\x80uro \x9Cuvre.mp3", "\xE2\x82\xACuro \xC5\x93uvre.mp3"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.OnDisk);
    EXPECT_EQ(MediaFilePath(c.Stored, FTemp), FTemp + c.OnDisk);
    TSSFileLocations settings;
    const std::string path = BuildProgram(settings, {}, {{c.Stored, "abc"}});
    auto stream = OpenSelfStream(path);
    ExtractMediaFiles(settings, *stream, FTemp);
    EXPECT_EQ(ReadAll(FTemp + c.OnDisk), std::vector<uint8_t>({'a', 'b', 'c'}));
    DeleteMediaFiles(settings, FTemp);
    EXPECT_TRUE(fs::is_empty(FTemp)) << "the extracted file is deleted by the same name";
  }
}

TEST(PackagePaths, TempDirAndMediaPath) {
  const std::string dir = GetTempDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), PathDelim);
  EXPECT_TRUE(fs::is_directory(dir));
  const std::string withDelim = std::string("base") + PathDelim;
  EXPECT_EQ(MediaFilePath("a.mp3", withDelim), withDelim + "a.mp3");
  EXPECT_EQ(MediaFilePath("a.mp3", "base"), withDelim + "a.mp3");
}

}  // namespace
}  // namespace tovrin
