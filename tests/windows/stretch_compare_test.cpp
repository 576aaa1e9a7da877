// Our stretch copy against StretchBlt in the COLORONCOLOR mode between 24-bit DIB sections: the
// destination bitmaps must be equal byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "gdi_objects.h"
#include "gfx/stretch.h"

namespace tovrin {
namespace {

using gdi::TDibSection;
using gdi::TSweepRandom;

// Every pixel different from its neighbours and from the other picture, so that a row or column
// taken from the wrong place, or a pixel written that should not be, shows.
TBitmap Pattern(int32_t width, int32_t height, uint8_t salt) {
  TBitmap b(width, height);
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int32_t x = 0; x < width; ++x) {
      row[3 * x] = static_cast<uint8_t>(x);
      row[3 * x + 1] = static_cast<uint8_t>(y);
      row[3 * x + 2] = static_cast<uint8_t>(salt ^ ((x >> 8) | (y >> 8) << 4));
    }
  }
  return b;
}

// Origin and extents, as StretchBlt takes them.
std::string RectText(const TRect& r) {
  return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + " extent " +
         std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + ")";
}

class TStretchSweep {
 public:
  // One copy both ways; the source and destination bitmaps have the given sizes.
  void Check(int32_t srcWidth, int32_t srcHeight, int32_t destWidth, int32_t destHeight,
             const TRect& destRect, const TRect& srcRect) {
    ++FCases;
    const TBitmap src = Pattern(srcWidth, srcHeight, 0x40);
    const TBitmap before = Pattern(destWidth, destHeight, 0xC0);

    TDibSection gdiSrc(srcWidth, srcHeight), gdiDest(destWidth, destHeight);
    ASSERT_TRUE(gdiSrc.Valid() && gdiDest.Valid());
    gdiSrc.Load(src);
    gdiDest.Load(before);
    SetStretchBltMode(gdiDest.DC(), COLORONCOLOR);
    StretchBlt(gdiDest.DC(), destRect.Left, destRect.Top, destRect.Width(), destRect.Height(),
               gdiSrc.DC(), srcRect.Left, srcRect.Top, srcRect.Width(), srcRect.Height(), SRCCOPY);
    const TBitmap theirs = gdiDest.Save();
    if (!(theirs == before)) ++FChanged;

    TBitmap ours = before;
    StretchCopy(ours, destRect, src, srcRect);

    const std::string difference = gdi::FirstPixelDifference(ours, theirs);
    if (difference.empty()) return;
    if (FMismatches++ == 0) {
      FFirst = "source " + std::to_string(srcWidth) + "x" + std::to_string(srcHeight) + " rect " +
               RectText(srcRect) + " -> dest " + std::to_string(destWidth) + "x" +
               std::to_string(destHeight) + " rect " + RectText(destRect) + ": " + difference +
               "\n(pixel bytes: blue = source x, green = source y; red 0x40 = from the source, " +
               "0xC0 = the destination's own)";
    }
  }

  void Report() const {
    EXPECT_EQ(FMismatches, 0) << FMismatches << " of " << FCases << " cases differ; the first:\n"
                              << FFirst;
    // A sweep where GDI drew nothing would agree with a copy that draws nothing.
    EXPECT_GT(FChanged, FCases / 4)
        << "GDI drew in only " << FChanged << " of " << FCases << " cases";
  }

 private:
  int FCases = 0;
  int FMismatches = 0;
  int FChanged = 0;
  std::string FFirst;
};

TRect OriginExtent(int32_t x, int32_t y, int32_t w, int32_t h) {
  return {x, y, x + w, y + h};
}

TEST(StretchCompareTest, WholeBitmapsShrunkAndEnlarged) {
  TStretchSweep sweep;
  const int32_t sizes[] = {1, 2, 3, 5, 7, 8, 13, 16, 31, 64};
  for (int32_t sw : sizes)
    for (int32_t dw : sizes) {
      const int32_t sh = 1 + (sw * 7) % 11, dh = 1 + (dw * 5) % 13;
      sweep.Check(sw, sh, dw, dh, OriginExtent(0, 0, dw, dh), OriginExtent(0, 0, sw, sh));
    }
  // Screen-like ratios, where the rounding of long runs matters.
  sweep.Check(640, 480, 800, 600, OriginExtent(0, 0, 800, 600), OriginExtent(0, 0, 640, 480));
  sweep.Check(800, 600, 640, 480, OriginExtent(0, 0, 640, 480), OriginExtent(0, 0, 800, 600));
  sweep.Check(1024, 3, 333, 3, OriginExtent(0, 0, 333, 3), OriginExtent(0, 0, 1024, 3));
  sweep.Check(333, 2, 1024, 2, OriginExtent(0, 0, 1024, 2), OriginExtent(0, 0, 333, 2));
  sweep.Check(3, 700, 3, 257, OriginExtent(0, 0, 3, 257), OriginExtent(0, 0, 3, 700));
  sweep.Report();
}

TEST(StretchCompareTest, MirroredByNegativeExtents) {
  TStretchSweep sweep;
  for (int32_t sw : {1, 4, 9, 20})
    for (int32_t dw : {1, 3, 9, 25}) {
      const int32_t sh = sw, dh = dw;
      // Destination mirrored, source mirrored, both, and each axis alone.
      sweep.Check(sw, sh, dw, dh, OriginExtent(dw, 0, -dw, dh), OriginExtent(0, 0, sw, sh));
      sweep.Check(sw, sh, dw, dh, OriginExtent(0, dh, dw, -dh), OriginExtent(0, 0, sw, sh));
      sweep.Check(sw, sh, dw, dh, OriginExtent(dw - 1, dh - 1, -dw, -dh),
                  OriginExtent(0, 0, sw, sh));
      sweep.Check(sw, sh, dw, dh, OriginExtent(0, 0, dw, dh), OriginExtent(sw, sh, -sw, -sh));
      sweep.Check(sw, sh, dw, dh, OriginExtent(0, 0, dw, dh), OriginExtent(sw - 1, 0, -sw, sh));
      sweep.Check(sw, sh, dw, dh, OriginExtent(dw, dh, -dw, -dh), OriginExtent(sw, sh, -sw, -sh));
    }
  sweep.Report();
}

TEST(StretchCompareTest, DestinationPartlyOrWhollyOffTarget) {
  TStretchSweep sweep;
  const int32_t origins[] = {-30, -4, 0, 3, 18, 21};
  const int32_t extents[] = {-25, -6, 1, 7, 22, 40};
  for (int32_t x : origins)
    for (int32_t w : extents) {
      sweep.Check(13, 9, 21, 15, OriginExtent(x, x / 2, w, w / 2 + 1), OriginExtent(0, 0, 13, 9));
      sweep.Check(13, 9, 21, 15, OriginExtent(x / 3, x, w / 3 + 1, w), OriginExtent(2, 1, 9, 7));
    }
  sweep.Report();
}

TEST(StretchCompareTest, SourceReachingOutsideItsBitmap) {
  TStretchSweep sweep;
  const int32_t origins[] = {-12, -1, 0, 5, 12, 17};
  const int32_t extents[] = {-20, -5, 3, 13, 30};
  for (int32_t x : origins)
    for (int32_t w : extents) {
      sweep.Check(13, 9, 21, 15, OriginExtent(1, 2, 17, 11), OriginExtent(x, x / 2, w, w / 2 + 1));
      sweep.Check(13, 9, 21, 15, OriginExtent(0, 0, 21, 15), OriginExtent(x / 2, x, w / 2 + 1, w));
    }
  sweep.Report();
}

// A random origin and extent along one axis of a bitmap `size` pixels long: both ends lie
// within half the size around the bitmap, in either order (a mirrored copy), never equal.
void RandomSpan(TSweepRandom& random, int32_t size, int32_t& origin, int32_t& extent) {
  const int32_t margin = size / 2 + 1;
  origin = random.Range(-margin, size + margin);
  int32_t end;
  do {
    end = random.Range(-margin, size + margin);
  } while (end == origin);
  extent = end - origin;
}

TEST(StretchCompareTest, RandomRectangles) {
  TStretchSweep sweep;
  TSweepRandom random(5);
  for (int i = 0; i < 1500; ++i) {
    const int32_t sw = random.Range(1, 40), sh = random.Range(1, 40);
    const int32_t dw = random.Range(1, 40), dh = random.Range(1, 40);
    int32_t dx, dy, dwidth, dheight, sx, sy, swidth, sheight;
    RandomSpan(random, dw, dx, dwidth);
    RandomSpan(random, dh, dy, dheight);
    RandomSpan(random, sw, sx, swidth);
    RandomSpan(random, sh, sy, sheight);
    sweep.Check(sw, sh, dw, dh, OriginExtent(dx, dy, dwidth, dheight),
                OriginExtent(sx, sy, swidth, sheight));
  }
  sweep.Report();
}

// Larger bitmaps, where a per-pixel step that drifts by a fraction shows after many pixels.
TEST(StretchCompareTest, RandomLargeBitmaps) {
  TStretchSweep sweep;
  TSweepRandom random(7);
  for (int i = 0; i < 120; ++i) {
    const int32_t sw = random.Range(1, 400), sh = random.Range(1, 60);
    const int32_t dw = random.Range(1, 400), dh = random.Range(1, 60);
    const bool mirror = random.Range(0, 3) == 0;
    const TRect destRect = mirror ? TRect{dw - random.Range(0, 20), 0, random.Range(-20, 20), dh}
                                  : TRect{random.Range(-20, 20), 0, dw + random.Range(-20, 20), dh};
    const TRect srcRect = TRect{random.Range(-20, 20), random.Range(-3, 3),
                                sw + random.Range(-20, 20), sh + random.Range(-3, 3)};
    sweep.Check(sw, sh, dw, dh, destRect, srcRect);
  }
  sweep.Report();
}

}  // namespace
}  // namespace tovrin
