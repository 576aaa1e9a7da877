// Drawing through a region, ours against GDI's clip region (ExtSelectClipRgn with RGN_AND, then
// BitBlt or StretchBlt): the pixels a region lets through must be the same on both sides.
#include <gtest/gtest.h>

#include <string>

#include "gdi_objects.h"
#include "gfx/draw.h"
#include "gfx/stretch.h"
#include "region_pairs.h"

namespace tovrin {
namespace {

using namespace gdi;

constexpr int32_t kWidth = 37, kHeight = 33;

TBitmap Picture(int32_t width, int32_t height, uint8_t salt) {
  TBitmap b(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) b.SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), salt));
  }
  return b;
}

// A region of two to four random shapes merged the way the transitions merge them.
TBoth RandomClip(TSweepRandom& random, std::string& name) {
  TBoth clip = RandomShape(random, name);
  const int more = random.Range(1, 3);
  for (int i = 0; i < more; ++i) {
    std::string shapeName;
    const TBoth shape = RandomShape(random, shapeName);
    const TCombineMode mode =
        random.Range(0, 2) == 0 ? TCombineMode::RGN_XOR : TCombineMode::RGN_OR;
    CombineInto(clip, shape, mode);
    name += std::string(" ") + ModeName(mode) + " " + shapeName;
  }
  return clip;
}

// Selects a region as the clip of a device context for one drawing, and removes it again.
class TClipSelection {
 public:
  TClipSelection(HDC dc, HRGN region) : FDC(dc) { ExtSelectClipRgn(dc, region, 1 /* RGN_AND */); }
  ~TClipSelection() { SelectClipRgn(FDC, nullptr); }
  TClipSelection(const TClipSelection&) = delete;
  TClipSelection& operator=(const TClipSelection&) = delete;

 private:
  HDC FDC;
};

TEST(ClipCompareTest, DrawingThroughARegion) {
  TSweepRandom random(8);
  const TBitmap before = Picture(kWidth, kHeight, 0xC0);
  int cases = 0, mismatches = 0, clipped = 0;
  std::string first;
  for (int i = 0; i < 400; ++i) {
    std::string name;
    const TBoth clip = RandomClip(random, name);
    if (clip.Gdi == nullptr) continue;
    const int32_t x = random.Range(-10, 20), y = random.Range(-10, 20);
    const TBitmap src = Picture(random.Range(1, 40), random.Range(1, 40), 0x40);

    TDibSection gdiDest(kWidth, kHeight), gdiSrc(src.Width(), src.Height());
    ASSERT_TRUE(gdiDest.Valid() && gdiSrc.Valid());
    gdiDest.Load(before);
    gdiSrc.Load(src);
    {
      TClipSelection selection(gdiDest.DC(), clip.Gdi.get());
      BitBlt(gdiDest.DC(), x, y, src.Width(), src.Height(), gdiSrc.DC(), 0, 0, SRCCOPY);
    }
    const TBitmap theirs = gdiDest.Save();
    TBitmap ours = before;
    DrawClipped(ours, x, y, src, clip.Ours);

    ++cases;
    if (!(theirs == before)) ++clipped;
    const std::string difference = FirstPixelDifference(ours, theirs);
    if (!difference.empty() && mismatches++ == 0) {
      first = "picture " + std::to_string(src.Width()) + "x" + std::to_string(src.Height()) +
              " at " + std::to_string(x) + "," + std::to_string(y) + " through " + name + ": " +
              difference;
    }
  }
  EXPECT_EQ(mismatches, 0) << mismatches << " of " << cases << " cases differ; the first:\n"
                           << first;
  EXPECT_GT(clipped, cases / 4) << "GDI drew in only " << clipped << " of " << cases << " cases";
}

TEST(ClipCompareTest, StretchingThroughARegion) {
  TSweepRandom random(9);
  const TBitmap before = Picture(kWidth, kHeight, 0xC0);
  int cases = 0, mismatches = 0, clipped = 0;
  std::string first;
  for (int i = 0; i < 400; ++i) {
    std::string name;
    const TBoth clip = RandomClip(random, name);
    if (clip.Gdi == nullptr) continue;
    const TBitmap src = Picture(random.Range(1, 40), random.Range(1, 40), 0x40);
    // Destination and source rectangles anywhere around their bitmaps, mirrored at times.
    const TRect destRect{random.Range(-8, 20), random.Range(-8, 20), random.Range(-8, 45),
                         random.Range(-8, 45)};
    const TRect srcRect{random.Range(-3, src.Width()), random.Range(-3, src.Height()),
                        random.Range(0, src.Width() + 3), random.Range(0, src.Height() + 3)};
    if (destRect.Width() == 0 || destRect.Height() == 0 || srcRect.Width() == 0 ||
        srcRect.Height() == 0) {
      continue;
    }

    TDibSection gdiDest(kWidth, kHeight), gdiSrc(src.Width(), src.Height());
    ASSERT_TRUE(gdiDest.Valid() && gdiSrc.Valid());
    gdiDest.Load(before);
    gdiSrc.Load(src);
    SetStretchBltMode(gdiDest.DC(), COLORONCOLOR);
    {
      TClipSelection selection(gdiDest.DC(), clip.Gdi.get());
      StretchBlt(gdiDest.DC(), destRect.Left, destRect.Top, destRect.Width(), destRect.Height(),
                 gdiSrc.DC(), srcRect.Left, srcRect.Top, srcRect.Width(), srcRect.Height(),
                 SRCCOPY);
    }
    const TBitmap theirs = gdiDest.Save();
    TBitmap ours = before;
    StretchCopy(ours, destRect, src, srcRect, &clip.Ours);

    ++cases;
    if (!(theirs == before)) ++clipped;
    const std::string difference = FirstPixelDifference(ours, theirs);
    if (!difference.empty() && mismatches++ == 0) {
      first = "source " + std::to_string(src.Width()) + "x" + std::to_string(src.Height()) +
              " rect " + FormatRect(srcRect) + " -> dest rect " + FormatRect(destRect) +
              " through " + name + ": " + difference;
    }
  }
  EXPECT_EQ(mismatches, 0) << mismatches << " of " << cases << " cases differ; the first:\n"
                           << first;
  EXPECT_GT(clipped, cases / 4) << "GDI drew in only " << clipped << " of " << cases << " cases";
}

}  // namespace
}  // namespace tovrin
