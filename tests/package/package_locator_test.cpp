#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <csignal>
#include <functional>

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
                           size_t imageSize = 3000,
                           const std::function<void(TSSFileLocations&)>& craft = {}) {
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
    if (craft) craft(settings);
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

  std::unique_ptr<TImage> b = ReadPictureItem(*stream, settings, 1);
  const auto* graphic = dynamic_cast<const TJPEGImage*>(b->Picture().Graphic());
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(graphic->Data(), jpegB);
  EXPECT_TRUE(graphic->Grayscale());
  EXPECT_THROW(ReadPictureItem(*stream, settings, 2), EListError);

  // A settings offset that points at a picture item does not pass for settings.
  EXPECT_THROW(ReadShowSettings(*stream, settings.PicOffsetAt(0), nullptr), EFilerError);
  EXPECT_THROW(ReadShowSettings(*stream, -5, nullptr), EReadError);

  const TMediaExtraction extracted = ExtractMediaFiles(settings, *stream, FTemp);
  EXPECT_EQ(extracted.FilesWritten, 2);
  EXPECT_EQ(extracted.BytesWritten, 10);
  EXPECT_EQ(ReadAll(MediaFilePath("sea song.mp3", FTemp)),
            std::vector<uint8_t>({'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}));
  // Size 0 gives an empty file, never a copy of the whole program.
  EXPECT_TRUE(fs::exists(MediaFilePath("b.wav", FTemp)));
  EXPECT_EQ(fs::file_size(MediaFilePath("b.wav", FTemp)), 0u);

  DeleteMediaFiles(settings, FTemp);
  EXPECT_TRUE(fs::is_empty(FTemp));
}

// A package whose media break a rule has none of them written, however the rest looks.
TEST_F(PackageLocator, RefusedMediaWriteNothing) {
  struct TCase {
    const char* What;
    std::function<void(TSSFileLocations&)> Craft;  // applied to the lists the writer filled
    const char* Refusal;
  };
  const std::vector<TCase> cases = {
      {"a path", [](TSSFileLocations& s) { s.SndFileNameList()[1] = "../escape.mp3"; }, "forbids"},
      {"a device", [](TSSFileLocations& s) { s.SndFileNameList()[1] = "aux.mp3"; }, "device"},
      {"a name twice", [](TSSFileLocations& s) { s.SndFileNameList()[1] = "FINE.MP3"; },
       "has the name of"},
      {"a negative size", [](TSSFileLocations& s) { s.SndSizeList()[1] = "-1"; }, "negative"},
      {"a name missing", [](TSSFileLocations& s) { s.SndFileNameList().pop_back(); },
       "no name entry"},
      {"past the settings", [](TSSFileLocations& s) { s.SndSizeList()[1] = "100000"; }, "outside"},
      {"2,000 times one range",
       [](TSSFileLocations& s) {
         for (int i = 0; i < 2000; ++i) {
           s.SndList().push_back(s.SndList()[0]);
           s.SndFileNameList().push_back("copy" + std::to_string(i) + ".mp3");
           s.SndSizeList().push_back(s.SndSizeList()[0]);
         }
       },
       "add up"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TSSFileLocations settings;
    const std::string path = BuildProgram(
        settings, {}, {{"fine.mp3", std::string(3000, 'a')}, {"second.mp3", "xyz"}}, 3000, c.Craft);
    auto stream = OpenSelfStream(path);
    const TMediaExtraction result = ExtractMediaFiles(settings, *stream, FTemp);
    EXPECT_NE(result.Plan.Refusal.find(c.Refusal), std::string::npos) << result.Plan.Refusal;
    EXPECT_EQ(result.FilesWritten, 0);
    EXPECT_EQ(result.BytesWritten, 0);
    EXPECT_TRUE(fs::is_empty(FTemp)) << "nothing may be written";
    EXPECT_FALSE(fs::exists(FDir / "escape.mp3"));
    DeleteMediaFiles(settings, FTemp);  // never throws
  }
}

// Files are created new: whatever stands under a media name in the folder (a file, a link to a
// file elsewhere, a dangling link) is neither replaced nor written through, and the other media
// are still written, readable by their owner only.
TEST_F(PackageLocator, MediaFilesAreCreatedNewAndNeverThroughALink) {
  const fs::path outside = FDir / "outside.txt";
  struct TCase {
    const char* What;
    std::function<void(const fs::path&)> Plant;
  };
  const std::vector<TCase> cases = {
      {"a file", [](const fs::path& p) { std::ofstream(p) << "keep"; }},
#ifndef _WIN32  // making links on Windows needs a privilege
      {"a link", [&](const fs::path& p) { fs::create_symlink(outside, p); }},
      {"a dangling link", [&](const fs::path& p) { fs::create_symlink(FDir / "planted", p); }},
#endif
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    fs::remove_all(FTemp);
    fs::create_directories(FTemp);
    std::ofstream(outside) << "keep";
    TSSFileLocations settings;
    const std::string path = BuildProgram(settings, {}, {{"a.wav", "abc"}, {"b.wav", "xyz"}});
    c.Plant(fs::path(FTemp) / "b.wav");
    auto stream = OpenSelfStream(path);
    const TMediaExtraction result = ExtractMediaFiles(settings, *stream, FTemp);
    EXPECT_TRUE(result.Plan.Accepted()) << result.Plan.Refusal;
    EXPECT_EQ(result.FilesWritten, 1);
    EXPECT_EQ(ReadAll(MediaFilePath("a.wav", FTemp)), std::vector<uint8_t>({'a', 'b', 'c'}));
#ifndef _WIN32
    const fs::perms perms = fs::status(MediaFilePath("a.wav", FTemp)).permissions();
    EXPECT_EQ(perms & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
#endif
    std::ifstream kept(outside);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "keep");
    EXPECT_FALSE(fs::exists(FDir / "planted"));
  }
}

#ifndef _WIN32
// A file that cannot be written whole (here: larger than the process may write) is removed and
// left out; the media after it are still written.
TEST_F(PackageLocator, AMediaFileThatCannotBeWrittenIsRemovedAndTheOthersStay) {
  TSSFileLocations settings;
  const std::string path = BuildProgram(settings, {},
                                        {{"small.wav", std::string(1000, 's')},
                                         {"big.wav", std::string(200000, 'b')},
                                         {"after.wav", std::string(2000, 'a')}});
  auto stream = OpenSelfStream(path);
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit limited = old;
  limited.rlim_cur = 100000;
  // Past the limit a write fails with EFBIG instead of the signal ending the process.
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  const TMediaExtraction result = ExtractMediaFiles(settings, *stream, FTemp);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(result.Plan.Accepted()) << result.Plan.Refusal;
  EXPECT_EQ(result.FilesWritten, 2);
  EXPECT_EQ(result.BytesWritten, 3000);
  EXPECT_EQ(fs::file_size(MediaFilePath("small.wav", FTemp)), 1000u);
  EXPECT_FALSE(fs::exists(MediaFilePath("big.wav", FTemp)));
  EXPECT_EQ(fs::file_size(MediaFilePath("after.wav", FTemp)), 2000u);
}
#endif

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
  // Stored names are Windows-1252; paths are UTF-8.
  EXPECT_EQ(MediaFilePath("\xC4rger.wav", withDelim), withDelim + "\xC3\x84rger.wav");
}

}  // namespace
}  // namespace tovrin
