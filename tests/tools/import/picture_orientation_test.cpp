// EXIF orientation: reading the tag from untrusted bytes, and every orientation turned upright by
// the import, losslessly where the picture's blocks allow it and by re-encoding where not.
#include <gtest/gtest.h>

#include "gfx/jpeg_decoder.h"
#include "import/exif_orientation.h"
#include "import/orient_bitmap.h"
#include "import/picture_import.h"
#include "picture_samples.h"

namespace tovrin {
namespace {

using test::TBytes;
using test::TExifFields;

TBytes SmallJpeg() {
  static const TBytes jpeg = test::JpegOf(test::UprightPicture(16, 16));
  return jpeg;
}

TBytes JpegWithExif(const TExifFields& fields, int extraLength = 0) {
  return test::WithSegment(SmallJpeg(),
                           test::ExifSegment(test::OrientationTiff(fields), extraLength));
}

TEST(ExifOrientationTest, ReadsTheTagOrReportsWhyItCannot) {
  const TBytes xmp = {0xFF, 0xE1, 0x00, 0x08, 'h', 't', 't', 'p', ':', '/'};
  struct TCase {
    const char* What;
    TBytes File;
    TExifState State;
    int Value;
  };
  const TCase cases[] = {
      {"little-endian 6", JpegWithExif({6, false}), TExifState::esFound, 6},
      {"big-endian 8", JpegWithExif({8, true}), TExifState::esFound, 8},
      {"after an XMP segment", test::WithSegment(JpegWithExif({3, true}), xmp), TExifState::esFound,
       3},
      {"no EXIF segment", SmallJpeg(), TExifState::esAbsent, 1},
      {"not a JPEG", TBytes{'G', 'I', 'F', '8', '9', 'a'}, TExifState::esAbsent, 1},
      {"value 0", JpegWithExif({0, false}), TExifState::esDamaged, 1},
      {"value 9", JpegWithExif({9, true}), TExifState::esDamaged, 1},
      {"type LONG", JpegWithExif({6, false, 4}), TExifState::esDamaged, 1},
      {"two values", JpegWithExif({6, false, 3, 2}), TExifState::esDamaged, 1},
      {"directory past the end", JpegWithExif({6, false, 3, 1, 4000}), TExifState::esDamaged, 1},
      {"directory inside the header", JpegWithExif({6, false, 3, 1, 2}), TExifState::esDamaged, 1},
      {"segment longer than the file", JpegWithExif({6, false}, 5000), TExifState::esDamaged, 1},
      {"no byte order", test::WithSegment(SmallJpeg(), test::ExifSegment({'X', 'X', 0, 42})),
       TExifState::esDamaged, 1},
  };
  for (const TCase& c : cases) {
    const TExifOrientation r = ReadExifOrientation(c.File);
    EXPECT_EQ(r.State, c.State) << c.What << ": " << r.Problem;
    if (c.State == TExifState::esFound) {
      EXPECT_EQ(r.Value, c.Value) << c.What;
    }
    if (c.State == TExifState::esDamaged) {
      EXPECT_FALSE(r.Problem.empty()) << c.What;
    }
  }
}

// The reader walks lengths and offsets taken from the file: cut short anywhere or with any byte
// changed, it must stay inside the bytes (the sanitizer build checks) and give an answer.
TEST(ExifOrientationTest, SurvivesEveryTruncationAndFlippedByte) {
  for (bool bigEndian : {false, true}) {
    const TBytes file = JpegWithExif({6, bigEndian});
    const size_t exifEnd = 2 + 10 + test::OrientationTiff({6, bigEndian}).size();
    for (size_t length = 0; length <= exifEnd; ++length) {
      const TBytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
      const TExifOrientation r = ReadExifOrientation(cut);
      if (length < exifEnd) {
        EXPECT_NE(r.State, TExifState::esFound) << length;
      }
    }
    for (size_t at = 2; at < exifEnd; ++at) {
      for (uint8_t flip : {0x01, 0x80, 0xFF}) {
        TBytes changed = file;
        changed[at] ^= flip;
        const TExifOrientation r = ReadExifOrientation(changed);
        if (r.State == TExifState::esFound) {
          EXPECT_GE(r.Value, 1);
          EXPECT_LE(r.Value, 8);
        }
      }
    }
  }
}

TEST(ExifOrientationTest, ClearingSetsTheTagToUprightInPlace) {
  for (bool bigEndian : {false, true}) {
    TBytes file = JpegWithExif({8, bigEndian});
    const size_t size = file.size();
    EXPECT_TRUE(ClearExifOrientation(file));
    EXPECT_EQ(file.size(), size);
    const TExifOrientation r = ReadExifOrientation(file);
    EXPECT_EQ(r.State, TExifState::esFound);
    EXPECT_EQ(r.Value, 1) << (bigEndian ? "big-endian" : "little-endian");
    EXPECT_FALSE(ClearExifOrientation(file));  // nothing left to change
  }
}

// OrientBitmap against the turns written out naively, on both pixel formats.
TEST(OrientBitmapTest, GivesTheUprightPictureForEveryOrientation) {
  const TBitmap upright = test::UprightPicture(13, 7);
  TBitmap grey(5, 3, TPixelFormat::pf8bit);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 5; ++x) grey.ScanLine(y)[x] = static_cast<uint8_t>(16 * y + x);
  }
  for (int i = 0; i < 256; ++i) {
    grey.Palette()[static_cast<size_t>(i)] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  }
  for (int orientation = 1; orientation <= 8; ++orientation) {
    EXPECT_EQ(OrientBitmap(test::StoredFor(upright, orientation), orientation), upright)
        << "orientation " << orientation;
    const TBitmap turned = OrientBitmap(test::StoredFor(grey, orientation), orientation);
    EXPECT_EQ(turned.PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(test::Compare(turned, grey).Max, 0) << "grey, orientation " << orientation;
  }
}

// Every orientation of one picture, packed, decodes to the upright picture. A lossless turn
// cannot move a partial 16-pixel block of the stored picture's right or bottom edge to the left
// or top. Upright 64 x 48: every turn is lossless. Upright 64 x 43 (stored 64 x 43 for 2 to 4,
// 43 x 64 for 5 to 8): the mirror (2), the transpose (5) and the quarter turn right (6, which
// moves the stored bottom edge to the left, and the stored picture's height is 64). 61 x 43:
// only the transpose, which never moves an edge block.
TEST(ImportOrientationTest, EveryOrientationComesOutUpright) {
  constexpr auto kTurned = TImportAction::iaTurned;
  constexpr auto kReencoded = TImportAction::iaReencoded;
  struct TCase {
    int32_t Width, Height;
    TImportAction Actions[9];  // by orientation; 0 and 1 unused
  };
  const TCase cases[] = {
      {64, 48, {{}, {}, kTurned, kTurned, kTurned, kTurned, kTurned, kTurned, kTurned}},
      {64, 43, {{}, {}, kTurned, kReencoded, kReencoded, kTurned, kTurned, kReencoded, kReencoded}},
      {61,
       43,
       {{}, {}, kReencoded, kReencoded, kReencoded, kTurned, kReencoded, kReencoded, kReencoded}},
  };
  for (const TCase& c : cases) {
    const TBitmap upright = test::UprightPicture(c.Width, c.Height);
    for (int orientation = 1; orientation <= 8; ++orientation) {
      SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height) + ", orientation " +
                   std::to_string(orientation));
      const TBytes file =
          test::WithSegment(test::JpegOf(test::StoredFor(upright, orientation)),
                            test::ExifSegment(test::OrientationTiff({orientation, true})));
      const TImportedPicture result = ImportPicture(file, {});
      const TBytes& stored = result.Action == TImportAction::iaCopied ? file : result.Jpeg;
      if (orientation == 1) {
        EXPECT_EQ(result.Action, TImportAction::iaCopied);
      } else {
        EXPECT_EQ(result.Action, c.Actions[orientation]);
        // A viewer of the stored file must not turn it again.
        EXPECT_NE(ReadExifOrientation(stored).State == TExifState::esFound &&
                      ReadExifOrientation(stored).Value != 1,
                  true);
      }
      const TBitmap decoded = DecodeJPEGForReencoding(stored.data(), stored.size(), 0, 0);
      ASSERT_EQ(decoded.Width(), c.Width);
      ASSERT_EQ(decoded.Height(), c.Height);
      EXPECT_EQ(result.Width, c.Width);
      EXPECT_EQ(result.Height, c.Height);
      // JPEG noise stays within a few levels; a wrong turn is off by a third of the range.
      const test::TDifference d = test::Compare(decoded, upright);
      EXPECT_LT(d.Mean, 6.0);
      EXPECT_TRUE(result.Warnings.empty());
    }
  }
}

TEST(ImportOrientationTest, KeepOrientationStoresThePictureAsItIs) {
  const TBytes file = JpegWithExif({6, false});
  TImportOptions options;
  options.ApplyOrientation = false;
  const TImportedPicture result = ImportPicture(file, options);
  EXPECT_EQ(result.Action, TImportAction::iaCopied);
}

// A damaged EXIF block must neither stop the build nor turn the picture: it is stored as it came,
// with a warning that says why.
TEST(ImportOrientationTest, DamagedExifIsStoredUnturnedWithAWarning) {
  const TBytes damaged[] = {
      JpegWithExif({9, false}),
      JpegWithExif({6, true, 3, 1, 60000}),
      JpegWithExif({6, false, 4}),
  };
  for (const TBytes& file : damaged) {
    const TImportedPicture result = ImportPicture(file, {});
    EXPECT_EQ(result.Action, TImportAction::iaCopied);
    ASSERT_EQ(result.Warnings.size(), 1u);
    EXPECT_NE(result.Warnings[0].find("EXIF"), std::string::npos) << result.Warnings[0];
  }
}

}  // namespace
}  // namespace tovrin
