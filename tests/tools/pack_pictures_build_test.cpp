// `tovrin-pack build` with photos as people have them, through RunBuild: folders, turned and
// fitted pictures, PNG, a damaged EXIF block, and files that are no picture at all.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "scratch_dir.h"

#include "build_command.h"
#include "core/errors.h"
#include "import/exif_orientation.h"
#include "package/image.h"
#include "package/persistent.h"
#include "package/stream.h"
#include "package_plan.h"
#include "package_report.h"
#include "picture_samples.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::TBytes;

void WriteBytes(const fs::path& p, const TBytes& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

TBytes ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return TBytes(std::istreambuf_iterator<char>(in), {});
}

TBytes PhotoWithOrientation(int32_t w, int32_t h, int orientation) {
  return test::WithSegment(test::JpegOf(test::StoredFor(test::UprightPicture(w, h), orientation)),
                           test::ExifSegment(test::OrientationTiff({orientation, false})));
}

class PicturesBuildTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The reader creates the package's objects by their class names, as the engine does.
    RegisterStreamClass(TSSFileLocations::StaticClassInfo());
    RegisterStreamClass(TImage::StaticClassInfo());
    FDir = test::ScratchDirFor("tovrin-pack-pictures");
    fs::create_directories(FDir / "photos" / "older");
    WriteBytes(FDir / "engine", TBytes(3000, 0x5A));
  }
  void TearDown() override { fs::remove_all(FDir); }

  fs::path Photo(const std::string& name) const { return FDir / "photos" / name; }
  fs::path Out() const { return FDir / "show.scr"; }

  // Runs the build; returns what it wrote to standard error. Errors pass to the caller.
  std::string Build(TBuildRequest request) {
    request.EnginePath = (FDir / "engine").string();
    request.OutputPath = Out().string();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    struct TClose {
      std::FILE* F;
      ~TClose() { std::fclose(F); }
    } closeOut{out}, closeErr{err};
    RunBuild(request, (FDir / "tool").string(), out, err);
    std::fflush(err);
    std::rewind(err);
    std::string text;
    for (int c; (c = std::fgetc(err)) != EOF;) text += static_cast<char>(c);
    return text;
  }

  TPackageReport Report() {
    TFileStream stream(Out().string(), TFileMode::fmOpenRead);
    TPackageReport report = ReadPackageHead(Out().string(), stream);
    ReadPackageItems(report, stream);
    return report;
  }

  fs::path FDir;
};

TEST_F(PicturesBuildTest, AFolderGivesItsPicturesInNameOrder) {
  WriteBytes(Photo("b.jpg"), test::JpegOf(test::UprightPicture(16, 16)));
  WriteBytes(Photo("A.JPG"), test::JpegOf(test::UprightPicture(24, 16)));
  WriteBytes(Photo("notes.txt"), {'h', 'i'});
  WriteBytes(Photo("older") / "c.jpeg", test::JpegOf(test::UprightPicture(8, 8)));
  struct TCase {
    bool Recursive;
    TStringList Names;
  };
  for (const TCase& c :
       {TCase{false, {"A.JPG", "b.jpg"}}, TCase{true, {"A.JPG", "b.jpg", "c.jpeg"}}}) {
    TBuildRequest request;
    request.Pictures = {(FDir / "photos").string()};
    request.Recursive = c.Recursive;
    Build(request);
    EXPECT_EQ(Report().Settings->PicFileNameList(), c.Names);
  }
}

TEST_F(PicturesBuildTest, PhotosAreStoredUprightFittedOrAsTheyCame) {
  const TBytes plain = test::JpegOf(test::UprightPicture(40, 30));
  WriteBytes(Photo("1-plain.jpg"), plain);
  WriteBytes(Photo("2-turned.jpg"), PhotoWithOrientation(48, 32, 6));
  WriteBytes(Photo("3-large.jpg"), test::JpegOf(test::UprightPicture(400, 100)));
  TBuildRequest request;
  request.Pictures = {(FDir / "photos").string()};
  request.PictureOptions.Fit = {200, 200};
  EXPECT_EQ(Build(request), "");
  const TPackageReport report = Report();
  ASSERT_EQ(report.Pictures.size(), 3u);
  // Inside the box and upright: the very same bytes.
  EXPECT_EQ(report.Pictures[0].JpegLength, static_cast<int64_t>(plain.size()));
  EXPECT_EQ(report.Pictures[1].Width, 48);  // upright: wider than high
  EXPECT_EQ(report.Pictures[1].Height, 32);
  EXPECT_EQ(report.Pictures[2].Width, 200);
  EXPECT_EQ(report.Pictures[2].Height, 50);
  // inspect sums up what the show will decode.
  const int64_t bytes =
      report.Pictures[0].JpegLength + report.Pictures[1].JpegLength + report.Pictures[2].JpegLength;
  const std::string text = RenderReportText(report);
  EXPECT_NE(text.find("stored: " + std::to_string(bytes) +
                      " bytes of JPEG in all, the largest picture 200 x 50\n"),
            std::string::npos)
      << text;
  const TBytes file = ReadBytes(Out());
  const auto first = file.begin() + report.Pictures[0].Offset;
  EXPECT_NE(std::search(first, file.end(), plain.begin(), plain.end()), file.end());
}

// A damaged EXIF block neither stops the build nor turns the picture; the user is told.
TEST_F(PicturesBuildTest, DamagedExifGivesAWarningAndThePictureAsItCame) {
  const TBytes damaged = test::WithSegment(test::JpegOf(test::UprightPicture(32, 16)),
                                           test::ExifSegment(test::OrientationTiff({12, true})));
  WriteBytes(Photo("odd.jpg"), damaged);
  TBuildRequest request;
  request.Pictures = {Photo("odd.jpg").string()};
  const std::string warnings = Build(request);
  EXPECT_NE(warnings.find("warning: " + Photo("odd.jpg").string() + ": its EXIF data"),
            std::string::npos)
      << warnings;
  const TPackageReport report = Report();
  ASSERT_EQ(report.Pictures.size(), 1u);
  EXPECT_EQ(report.Pictures[0].Width, 32);
  EXPECT_EQ(report.Pictures[0].JpegLength, static_cast<int64_t>(damaged.size()));
}

// A file of no kind the tool reads is refused, naming it, before the output exists.
TEST_F(PicturesBuildTest, OtherFilesAreRefusedBeforeTheOutputIsCreated) {
  WriteBytes(Photo("good.jpg"), test::JpegOf(test::UprightPicture(16, 16)));
  WriteBytes(Photo("clip.gif"), {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0});
  WriteBytes(Photo("fake.png"), {'n', 'o', 't', ' ', 'P', 'N', 'G'});
  for (const char* bad : {"clip.gif", "fake.png"}) {
    TBuildRequest request;
    request.Pictures = {Photo("good.jpg").string(), Photo(bad).string()};
    try {
      Build(request);
      ADD_FAILURE() << bad << " accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message().rfind(Photo(bad).string() + ": not a picture", 0), 0u) << e.Message();
      EXPECT_NE(e.Message().find("JPEG"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(fs::exists(Out())) << bad;
  }
  // A folder holding no picture is refused too.
  TBuildRequest request;
  request.Pictures = {(FDir / "photos" / "older").string()};
  EXPECT_THROW(Build(request), EFOpenError);
  EXPECT_FALSE(fs::exists(Out()));
}

// A picture file too large to be packed is refused from its size before a byte of it is read,
// and one that says it is empty but reads on is cut there. The large ones are sparse files
// starting with a real JPEG: read whole, they would take gigabytes of memory. (They were read
// whole before their size was looked at.)
TEST_F(PicturesBuildTest, APictureTooLargeToPackIsRefusedBeforeItIsRead) {
  const int64_t engine = 3000;  // as SetUp writes it
  const int64_t fits = MaxPackagedFileSize - engine - PictureItemSize(0);
  struct TCase {
    const char* Name;
    fs::path Picture;
    int64_t Size;  // sparse beyond the JPEG's own bytes; 0: the file as it is
    std::string Message;
  };
  const auto tooLarge = [&](int64_t size) {
    return Out().string() + ": the screen saver would be " +
           std::to_string(engine + PictureItemSize(size)) +
           " bytes or more; it must stay below 2 GiB (2147483648 bytes)";
  };
  const TCase cases[] = {
      {"5 GiB", Photo("huge.jpg"), int64_t{5} << 30, tooLarge(int64_t{5} << 30)},
      {"one byte more than fits", Photo("just.jpg"), fits + 1, "2147483648 bytes or more"},
      {"a file whose size is 0 but whose reading goes on", "/proc/self/status", 0,
       "/proc/self/status: the file changed while it was being packed"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Size > 0) {
      WriteBytes(c.Picture, test::JpegOf(test::UprightPicture(16, 16)));
      fs::resize_file(c.Picture, static_cast<uintmax_t>(c.Size));
    }
    TBuildRequest request;
    request.Pictures = {Photo("good.jpg").string(), c.Picture.string()};
    WriteBytes(Photo("good.jpg"), test::JpegOf(test::UprightPicture(16, 16)));
    try {
      Build(request);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(c.Message), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(fs::exists(Out()));
    if (c.Size > 0) fs::remove(c.Picture);
  }
  // Nothing here came near a gigabyte (ru_maxrss counts kilobytes).
  rusage usage{};
  ASSERT_EQ(getrusage(RUSAGE_SELF, &usage), 0);
  EXPECT_LT(usage.ru_maxrss, 1L << 20);
}

}  // namespace
}  // namespace tovrin
