// Telling picture files apart by their first bytes, and refusing what the tool cannot read.
#include <gtest/gtest.h>

#include "core/errors.h"
#include "import/picture_import.h"
#include "import/picture_type.h"
#include "picture_samples.h"

namespace tovrin {
namespace {

using test::TBytes;

TBytes FileTypeBox(const char* major, std::initializer_list<const char*> compatible) {
  // Appended byte by byte: g++ 12 at -O3 takes a range insert into this small vector for an
  // overflow.
  TBytes box = {0, 0, 0, 0, 'f', 't', 'y', 'p'};
  const auto append = [&box](const char* four) {
    for (int i = 0; i < 4; ++i) box.push_back(static_cast<uint8_t>(four[i]));
  };
  append(major);
  append("\0\0\0\0");
  for (const char* brand : compatible) append(brand);
  box[3] = static_cast<uint8_t>(box.size());
  box.resize(64, 0);
  return box;
}

TEST(PictureTypeTest, KnowsEachKindByItsFirstBytes) {
  struct TCase {
    const char* What;
    TBytes Head;
    TPictureType Type;
  };
  const TCase cases[] = {
      {"JPEG", {0xFF, 0xD8, 0xFF, 0xE0}, TPictureType::ptJpeg},
      {"PNG", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0}, TPictureType::ptPng},
      {"HEIC", FileTypeBox("heic", {"mif1", "heic"}), TPictureType::ptHeif},
      {"HEIF by a compatible brand", FileTypeBox("XXXX", {"isom", "mif1"}), TPictureType::ptHeif},
      {"MP4 movie", FileTypeBox("isom", {"isom", "mp41"}), TPictureType::ptUnknown},
      {"GIF", {'G', 'I', 'F', '8', '9', 'a', 1, 0}, TPictureType::ptUnknown},
      {"BMP", {'B', 'M', 0, 0, 0, 0}, TPictureType::ptUnknown},
      {"JPEG cut after two bytes", {0xFF, 0xD8}, TPictureType::ptUnknown},
      {"PNG signature damaged",
       {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, 0},
       TPictureType::ptUnknown},
      {"empty", {}, TPictureType::ptUnknown},
  };
  for (const TCase& c : cases) EXPECT_EQ(SniffPictureType(c.Head), c.Type) << c.What;
}

TEST(PictureTypeTest, FolderEntriesAreChosenByExtension) {
  EXPECT_EQ(PictureTypeOfName("IMG_0001.JPG"), TPictureType::ptJpeg);
  EXPECT_EQ(PictureTypeOfName("a.b.jpeg"), TPictureType::ptJpeg);
  EXPECT_EQ(PictureTypeOfName("shot.png"), TPictureType::ptPng);
  EXPECT_EQ(PictureTypeOfName("IMG_2001.HEIC"), TPictureType::ptHeif);
  for (const char* other : {"notes.txt", "IMG_0001.JPG.xmp", "jpg", "Thumbs.db", "clip.mov"}) {
    EXPECT_EQ(PictureTypeOfName(other), TPictureType::ptUnknown) << other;
  }
}

// Anything else is refused with a message that names the kinds the tool reads.
TEST(PictureTypeTest, OtherFilesAreRefusedNamingTheAcceptedKinds) {
  const TBytes others[] = {
      {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0},
      {'h', 'e', 'l', 'l', 'o'},
      {},
  };
  for (const TBytes& file : others) {
    try {
      ImportPicture(file, {});
      ADD_FAILURE() << "accepted";
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(e.Message().find(AcceptedPictureTypes()), std::string::npos) << e.Message();
    }
  }
  EXPECT_EQ(AcceptedPictureTypes().rfind("JPEG", 0), 0u);
}

TEST(PictureTypeTest, DamagedJpegHeadersAreRefused) {
  const TBytes jpeg = test::JpegOf(test::UprightPicture(16, 16));
  for (size_t length : {size_t{3}, size_t{20}, jpeg.size() / 4}) {
    const TBytes cut(jpeg.begin(), jpeg.begin() + static_cast<ptrdiff_t>(length));
    EXPECT_THROW(PlanImport(cut, {}), EInvalidGraphic) << length;
  }
}

}  // namespace
}  // namespace tovrin
