// --fit: the fitted sizes, the box filter, and the import's choices between copying, turning
// and shrinking.
#include <gtest/gtest.h>

#include <cmath>

#include "core/random.h"
#include "gfx/jpeg_decoder.h"
#include "import/box_downscale.h"
#include "import/fit_box.h"
#include "import/picture_import.h"
#include "noise_bitmap.h"
#include "picture_samples.h"

namespace tovrin {
namespace {

using test::TBytes;

TEST(FitBoxTest, FittedSizesKeepProportionsAndNeverEnlarge) {
  struct TCase {
    int32_t W, H;
    TFitBox Box;
    TPictureSize Expected;
  };
  const TCase cases[] = {
      {6000, 4000, {1920, 1080}, {1620, 1080}},  // height bound
      {4000, 3000, {1920, 1920}, {1920, 1440}},  // width bound
      {3000, 4000, {1920, 1080}, {810, 1080}},   // portrait
      {3840, 2160, {1920, 1080}, {1920, 1080}},  // same proportions
      {1920, 1080, {1920, 1080}, {1920, 1080}},  // exactly the box: kept
      {800, 600, {1920, 1080}, {800, 600}},      // inside: never enlarged
      {100000 / 10, 3, {100, 100}, {100, 1}},    // a sliver keeps a row
      {5, 7, {}, {5, 7}},                        // no box
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(FittedSize(c.W, c.H, c.Box), c.Expected) << c.W << " x " << c.H;
  }
}

// The filter against the area average computed in floating point, pixel by pixel.
TEST(BoxDownscaleTest, EveryPixelIsTheAverageOfTheAreaItCovers) {
  TRandom random(7);
  for (int trial = 0; trial < 40; ++trial) {
    const auto sw = static_cast<int32_t>(1 + random.Next(60));
    const auto sh = static_cast<int32_t>(1 + random.Next(60));
    const auto dw = static_cast<int32_t>(1 + random.Next(static_cast<uint32_t>(sw)));
    const auto dh = static_cast<int32_t>(1 + random.Next(static_cast<uint32_t>(sh)));
    const TBitmap source = test::NoiseBitmap(sw, sh, static_cast<uint32_t>(trial));
    const TBitmap result = BoxDownscale(source, dw, dh);
    ASSERT_EQ(result.Width(), dw);
    ASSERT_EQ(result.Height(), dh);
    const double fx = double(sw) / dw, fy = double(sh) / dh;
    for (int32_t y = 0; y < dh; ++y) {
      for (int32_t x = 0; x < dw; ++x) {
        for (int c = 0; c < 3; ++c) {
          double sum = 0;
          for (int32_t sy = 0; sy < sh; ++sy) {
            const double oy = std::min(sy + 1.0, (y + 1) * fy) - std::max(double(sy), y * fy);
            if (oy <= 0) continue;
            for (int32_t sx = 0; sx < sw; ++sx) {
              const double ox = std::min(sx + 1.0, (x + 1) * fx) - std::max(double(sx), x * fx);
              if (ox > 0) sum += ox * oy * source.ScanLine(sy)[3 * sx + c];
            }
          }
          const double expected = sum / (fx * fy);
          ASSERT_NEAR(result.ScanLine(y)[3 * x + c], expected, 1.0)
              << sw << "x" << sh << " -> " << dw << "x" << dh << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(BoxDownscaleTest, GreyPicturesKeepTheirFormatAndPalette) {
  TBitmap grey(9, 9, TPixelFormat::pf8bit);
  for (int32_t y = 0; y < 9; ++y) {
    for (int32_t x = 0; x < 9; ++x) grey.ScanLine(y)[x] = x < 3 ? 0 : 255;
  }
  grey.Palette()[255] = {255, 255, 255};
  const TBitmap small = BoxDownscale(grey, 3, 3);
  EXPECT_EQ(small.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(small.Palette(), grey.Palette());
  EXPECT_EQ(small.ScanLine(1)[0], 0);
  EXPECT_EQ(small.ScanLine(1)[1], 255);
}

// What the import does with a JPEG against the box: the stored size, and whether the file is
// stored byte for byte.
TEST(ImportFitTest, ShrinksWhatIsLargerAndCopiesWhatFits) {
  struct TCase {
    int32_t W, H;
    int Orientation;
    TFitBox Box;
    TPictureSize Stored;
    TImportAction Action;
  };
  const TCase cases[] = {
      {400, 300, 1, {200, 200}, {200, 150}, TImportAction::iaReencoded},
      {300, 400, 1, {200, 200}, {150, 200}, TImportAction::iaReencoded},
      {400, 304, 6, {200, 200}, {152, 200}, TImportAction::iaReencoded},  // fitted standing up
      {400, 300, 1, {1000, 300}, {400, 300}, TImportAction::iaCopied},    // exactly fits
      {160, 96, 1, {200, 200}, {160, 96}, TImportAction::iaCopied},       // inside: not enlarged
      {160, 96, 8, {200, 200}, {96, 160}, TImportAction::iaTurned},       // inside, turned
      {400, 300, 1, {}, {400, 300}, TImportAction::iaCopied},             // no box
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.W) + " x " + std::to_string(c.H) + " orientation " +
                 std::to_string(c.Orientation));
    const TBitmap upright =
        test::UprightPicture(c.Orientation >= 5 ? c.H : c.W, c.Orientation >= 5 ? c.W : c.H);
    const TBytes file =
        test::WithSegment(test::JpegOf(test::StoredFor(upright, c.Orientation)),
                          test::ExifSegment(test::OrientationTiff({c.Orientation, false})));
    TImportOptions options;
    options.Fit = c.Box;
    const TImportedPicture result = ImportPicture(file, options);
    EXPECT_EQ(result.Action, c.Action);
    EXPECT_EQ(result.Width, c.Stored.Width);
    EXPECT_EQ(result.Height, c.Stored.Height);
    if (result.Action == TImportAction::iaCopied) {
      EXPECT_TRUE(result.Jpeg.empty());  // the caller stores the file itself
      continue;
    }
    const TBitmap decoded = DecodeJPEGForReencoding(result.Jpeg.data(), result.Jpeg.size(), 0, 0);
    EXPECT_EQ(decoded.Width(), c.Stored.Width);
    EXPECT_EQ(decoded.Height(), c.Stored.Height);
    // Shrunk but upright: against the upright picture shrunk the same way.
    const TBitmap expected = BoxDownscale(upright, c.Stored.Width, c.Stored.Height);
    EXPECT_LT(test::Compare(decoded, expected).Mean, 6.0);
  }
}

// The quality reaches the encoder: a lower quality gives a smaller file of the same picture.
TEST(ImportFitTest, QualityChangesTheEncodedFile) {
  const TBytes file = test::JpegOf(test::NoiseBitmap(64, 64, 3));
  TImportOptions options;
  options.Fit = {32, 32};
  options.Quality = 95;
  const size_t high = ImportPicture(file, options).Jpeg.size();
  options.Quality = 40;
  const size_t low = ImportPicture(file, options).Jpeg.size();
  EXPECT_LT(low, high);
}

}  // namespace
}  // namespace tovrin
