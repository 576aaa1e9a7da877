// DecodeJPEG on pictures made here with libjpeg's compressor. Colours are compared
// approximately: float IDCT output may differ slightly between machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <set>

#include "core/errors.h"
#include "gfx/jpeg_decoder.h"
#include "jpeg_maker.h"

namespace tovrin {
namespace {

using testing::MakeJpeg;
using testing::TJpegKind;

// Left half orange (255, 128, 0), right half teal (0, 128, 128); large flat areas survive
// compression almost unchanged.
uint32_t TwoColours(int x, int /*y*/) {
  return x < 32 ? 0xFF8000 : 0x008080;
}

void ExpectNear(TColor actual, int r, int g, int b, int tolerance, const char* what) {
  EXPECT_NEAR(GetRValue(actual), r, tolerance) << what;
  EXPECT_NEAR(GetGValue(actual), g, tolerance) << what;
  EXPECT_NEAR(GetBValue(actual), b, tolerance) << what;
}

TEST(DecodeJPEG, ColourBaselineAndProgressive) {
  for (TJpegKind kind : {TJpegKind::Colour, TJpegKind::Progressive}) {
    const auto jpeg = MakeJpeg(64, 40, kind, TwoColours);
    const TBitmap b = DecodeJPEG(jpeg.data(), jpeg.size());
    EXPECT_EQ(b.Width(), 64);
    EXPECT_EQ(b.Height(), 40);
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    ExpectNear(b.Pixel(8, 20), 255, 128, 0, 6, "orange");
    ExpectNear(b.Pixel(56, 20), 0, 128, 128, 6, "teal");
  }
}

TEST(DecodeJPEG, GreyBecomesEightBitWithGreyPalette) {
  const auto jpeg =
      MakeJpeg(48, 16, TJpegKind::Grey, [](int x, int) { return x < 24 ? 0x404040u : 0xC0C0C0u; });
  const TBitmap b = DecodeJPEG(jpeg.data(), jpeg.size());
  ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
  EXPECT_EQ(b.Width(), 48);
  EXPECT_EQ(b.Height(), 16);
  ExpectNear(b.Pixel(4, 8), 0x40, 0x40, 0x40, 4, "dark");
  ExpectNear(b.Pixel(44, 8), 0xC0, 0xC0, 0xC0, 4, "light");
  std::set<uint8_t> levels;
  for (int i = 0; i < 256; ++i) {
    const TPaletteEntry& e = b.Palette()[size_t(i)];
    EXPECT_TRUE(e.Red == e.Green && e.Green == e.Blue) << i;
  }
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) levels.insert(b.ScanLine(y)[x]);
  }
  EXPECT_LT(*levels.rbegin(), 236);  // at most 236 levels: indices 0..235
}

TEST(DecodeJPEG, CmykWithAndWithoutAdobeInversion) {
  for (TJpegKind kind : {TJpegKind::CmykAdobe, TJpegKind::CmykPlain}) {
    const auto jpeg = MakeJpeg(64, 16, kind, TwoColours);
    const TBitmap b = DecodeJPEG(jpeg.data(), jpeg.size());
    ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    ExpectNear(b.Pixel(8, 8), 255, 128, 0, 8, kind == TJpegKind::CmykAdobe ? "adobe" : "plain");
    ExpectNear(b.Pixel(56, 8), 0, 128, 128, 8, kind == TJpegKind::CmykAdobe ? "adobe" : "plain");
  }
}

TEST(DecodeJPEG, NotAJpegCarriesLibjpegMessage) {
  const uint8_t junk[] = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  try {
    DecodeJPEG(junk, sizeof junk);
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("Not a JPEG file"), std::string::npos) << e.what();
  }
  EXPECT_THROW(DecodeJPEG(nullptr, 0), EInvalidGraphic);
}

// The reduced size each decoding picks: the smallest M/8 of the picture (libjpeg rounds sides
// up) that still covers the size asked for; re-encoding takes only M = 1, 2, 4 and 8.
TEST(DecodeJPEG, ReducedSizeIsTheSmallestThatCovers) {
  struct TCase {
    int W, H, CoverW, CoverH;
    int ShowW, ShowH;          // DecodeJPEGCovering
    int ReencodeW, ReencodeH;  // DecodeJPEGForReencoding
  };
  const TCase cases[] = {
      {600, 400, 162, 108, 225, 150, 300, 200},  // 3/8 for showing, 1/2 for re-encoding
      {600, 400, 75, 50, 75, 50, 75, 50},        // 1/8 exactly
      {600, 400, 76, 50, 150, 100, 150, 100},    // one pixel more: 1/4
      {601, 400, 76, 50, 76, 50, 76, 50},        // 601/8 rounds up to 76
      {600, 400, 451, 10, 525, 350, 600, 400},   // 7/8, or full size
      {600, 400, 600, 400, 600, 400, 600, 400},  // nothing smaller covers
      {600, 400, 0, 0, 600, 400, 600, 400},      // no size asked for
  };
  for (const TCase& c : cases) {
    const auto jpeg = MakeJpeg(c.W, c.H, TJpegKind::Colour, TwoColours);
    const TBitmap shown = DecodeJPEGCovering(jpeg.data(), jpeg.size(), c.CoverW, c.CoverH);
    EXPECT_EQ(shown.Width(), c.ShowW) << c.W << " x " << c.H << " covering " << c.CoverW;
    EXPECT_EQ(shown.Height(), c.ShowH) << c.W << " x " << c.H << " covering " << c.CoverW;
    const TBitmap kept = DecodeJPEGForReencoding(jpeg.data(), jpeg.size(), c.CoverW, c.CoverH);
    EXPECT_EQ(kept.Width(), c.ReencodeW) << c.W << " x " << c.H << " covering " << c.CoverW;
    EXPECT_EQ(kept.Height(), c.ReencodeH) << c.W << " x " << c.H << " covering " << c.CoverW;
  }
}

// A grey picture decoded for re-encoding keeps every level: pixel value = palette index = grey,
// where the decoding for showing quantises to at most 236 levels.
TEST(DecodeJPEG, GreyForReencodingKeepsAllLevelsOnTheGreyRamp) {
  const auto jpeg =
      MakeJpeg(48, 16, TJpegKind::Grey, [](int x, int) { return x < 24 ? 0x101010u : 0xF8F8F8u; });
  const TBitmap b = DecodeJPEGForReencoding(jpeg.data(), jpeg.size(), 0, 0);
  ASSERT_EQ(b.PixelFormat(), TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    const TPaletteEntry& e = b.Palette()[size_t(i)];
    EXPECT_TRUE(e.Red == i && e.Green == i && e.Blue == i) << i;
  }
  EXPECT_NEAR(b.ScanLine(8)[4], 0x10, 2);
  EXPECT_NEAR(b.ScanLine(8)[44], 0xF8, 2);
}

// Offset of the SOF0 marker's height field (FF C0, length, precision, height, width).
size_t FrameHeader(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) return i + 5;
  }
  return 0;
}

TEST(DecodeJPEG, OversizePictureRefusedBeforeAllocating) {
  auto jpeg = MakeJpeg(16, 16, TJpegKind::Colour, TwoColours);
  const size_t at = FrameHeader(jpeg);
  ASSERT_NE(at, 0u);
  // 65000 x 65000 x 3 bytes is far above the bitmap limit; refused from the header alone.
  for (size_t i : {at, at + 2}) {
    jpeg[i] = 0xFD;
    jpeg[i + 1] = 0xE8;
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(DecodeJPEG(jpeg.data(), jpeg.size()), EOutOfResources);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// A progressive file with its last scan repeated `copies` more times before the end marker.
std::vector<uint8_t> WithRepeatedScan(const std::vector<uint8_t>& jpeg, int copies) {
  size_t lastScan = 0;
  for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA) lastScan = i;
  }
  const size_t end = jpeg.size() - 2;  // the EOI marker
  std::vector<uint8_t> out(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(end));
  for (int k = 0; k < copies; ++k) {
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(lastScan),
               jpeg.begin() + std::ptrdiff_t(end));
  }
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

TEST(DecodeJPEG, EndlessScansAreRefusedInsteadOfHanging) {
  // Every scan makes libjpeg pass over the whole picture; a crafted file with thousands of them
  // would take minutes on a large picture. Repeats are accepted with warnings up to a limit.
  const auto jpeg = MakeJpeg(32, 32, TJpegKind::Progressive, TwoColours);
  int warnings = 0;
  const auto some = WithRepeatedScan(jpeg, 50);
  EXPECT_EQ(DecodeJPEG(some.data(), some.size(), &warnings).Width(), 32);
  const auto many = WithRepeatedScan(jpeg, 1200);
  try {
    DecodeJPEG(many.data(), many.size());
    FAIL() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "JPEG file has too many scans");
  }
}

TEST(DecodeJPEG, TruncatedAtEveryLengthNeverCrashes) {
  // A truncated file is either refused with an error or decoded as far as it goes (libjpeg
  // pads a premature end and only warns); either way the result is whole.
  for (TJpegKind kind : {TJpegKind::Colour, TJpegKind::Progressive, TJpegKind::Grey}) {
    const auto jpeg = MakeJpeg(40, 24, kind, TwoColours);
    int clean = -1;
    DecodeJPEG(jpeg.data(), jpeg.size(), &clean);
    EXPECT_EQ(clean, 0);
    int decoded = 0;
    for (size_t len = 0; len < jpeg.size(); ++len) {
      try {
        int warnings = 0;
        const TBitmap b = DecodeJPEG(jpeg.data(), len, &warnings);
        EXPECT_EQ(b.Width(), 40);
        EXPECT_EQ(b.Height(), 24);
        EXPECT_GT(warnings, 0) << "cut at " << len << " of " << jpeg.size();
        ++decoded;
      } catch (const EInvalidGraphic&) {
      }
    }
    EXPECT_GT(decoded, 0);  // cut after the header: still a picture
  }
}

TEST(DecodeJPEG, CorruptedBytesGiveAnErrorOrAPicture) {
  const auto original = MakeJpeg(32, 32, TJpegKind::Progressive, TwoColours);
  std::srand(4242);
  for (int iter = 0; iter < 600; ++iter) {
    auto jpeg = original;
    const int flips = 1 + iter % 4;
    for (int k = 0; k < flips; ++k)
      jpeg[size_t(std::rand()) % jpeg.size()] ^= uint8_t(1 + std::rand() % 255);
    try {
      const TBitmap b = DecodeJPEG(jpeg.data(), jpeg.size());
      EXPECT_FALSE(b.Empty());
    } catch (const EInvalidGraphic&) {
    } catch (const EOutOfResources&) {
    }
  }
}

// A busy picture (every pixel its own colour, sharp edges): the chroma upsampling and the
// progressive block smoothing then depend on the neighbours, and a part decoded without them
// would show it.
uint32_t Busy(int x, int y) {
  const auto u = static_cast<uint32_t>(x * 7 + y * 13);
  return ((u * 2654435761u) >> 8 & 0xFFFFFF) ^ (((x / 5 + y / 3) % 2) ? 0xFF00FFu : 0u);
}

// A part is the whole decoding's pixels in that rectangle, byte for byte, wherever it lies:
// at the picture's edges, off the iMCU grid, one pixel, or reaching past the picture.
TEST(DecodeJPEGPart, IsTheWholeDecodingCutToThePart) {
  const TRect parts[] = {
      {0, 0, 80, 50},      {37, 21, 203, 117}, {1, 1, 2, 2},     {16, 16, 32, 32},
      {150, 90, 250, 150}, {-10, -5, 90, 60},  {0, 70, 250, 71}, {239, 0, 240, 150},
  };
  for (TJpegKind kind : {TJpegKind::Colour, TJpegKind::Progressive, TJpegKind::CmykAdobe,
                         TJpegKind::Grey, TJpegKind::GreyProgressive}) {
    const auto jpeg = MakeJpeg(240, 150, kind, Busy);
    const TBitmap whole = DecodeJPEG(jpeg.data(), jpeg.size());
    for (const TRect& part : parts) {
      const TRect inside{std::max(part.Left, 0), std::max(part.Top, 0), std::min(part.Right, 240),
                         std::min(part.Bottom, 150)};
      const TBitmap cut = DecodeJPEGPart(jpeg.data(), jpeg.size(), part);
      SCOPED_TRACE("kind " + std::to_string(static_cast<int>(kind)) + " part " +
                   std::to_string(part.Left) + "," + std::to_string(part.Top));
      ASSERT_EQ(cut.Width(), inside.Width());
      ASSERT_EQ(cut.Height(), inside.Height());
      ASSERT_EQ(cut.PixelFormat(), whole.PixelFormat());
      const auto bpp = static_cast<size_t>(whole.BytesPerPixel());
      int differing = 0;
      for (int32_t y = 0; y < cut.Height(); ++y) {
        const uint8_t* expected = whole.ScanLine(inside.Top + y) + inside.Left * bpp;
        if (!std::equal(expected, expected + inside.Width() * bpp, cut.ScanLine(y))) ++differing;
      }
      EXPECT_EQ(differing, 0) << "rows differing";
      if (whole.PixelFormat() == TPixelFormat::pf8bit) {
        EXPECT_EQ(cut.Palette(), whole.Palette());
      }
    }
  }
}

TEST(DecodeJPEGPart, APartOutsideThePictureIsEmpty) {
  const auto jpeg = MakeJpeg(64, 40, TJpegKind::Colour, TwoColours);
  EXPECT_TRUE(DecodeJPEGPart(jpeg.data(), jpeg.size(), TRect{64, 0, 100, 40}).Empty());
  EXPECT_TRUE(DecodeJPEGPart(jpeg.data(), jpeg.size(), TRect{10, 10, 10, 20}).Empty());
}

}  // namespace
}  // namespace tovrin
