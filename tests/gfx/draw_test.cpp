// Unscaled drawing, region-clipped drawing and tiling.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "gfx/draw.h"
#include "gfx/region.h"
#include "gfx/tile.h"

namespace tovrin {
namespace {

TBitmap Pattern(int w, int h) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, RGB(uint8_t(x * 7), uint8_t(y * 5), uint8_t(x ^ y)));
  }
  return b;
}

// Dest after drawing src at (x, y), pixel by pixel, limited to clip when given.
TBitmap Reference(const TBitmap& dest, int x, int y, const TBitmap& src, const TRegion* clip) {
  TBitmap out = dest;
  for (int py = 0; py < dest.Height(); ++py) {
    for (int px = 0; px < dest.Width(); ++px) {
      const int sx = px - x, sy = py - y;
      if (sx < 0 || sy < 0 || sx >= src.Width() || sy >= src.Height()) continue;
      if (clip != nullptr && !clip->Contains(px, py)) continue;
      out.SetPixel(px, py, src.Pixel(sx, sy));
    }
  }
  return out;
}

TEST(Draw, ClipsAtEveryEdge) {
  const TBitmap src = Pattern(5, 4);
  TBitmap canvas(9, 7);
  canvas.Fill(RGB(1, 2, 3));
  // Every position from wholly left/above to wholly right/below, so each edge is crossed.
  for (int y = -5; y <= 8; ++y) {
    for (int x = -6; x <= 10; ++x) {
      TBitmap dest = canvas;
      Draw(dest, x, y, src);
      ASSERT_EQ(dest, Reference(canvas, x, y, src, nullptr)) << "at " << x << ", " << y;
    }
  }
  TBitmap dest = canvas;
  Draw(dest, INT32_MAX, INT32_MIN, src);  // far off: nothing, and no overflow
  EXPECT_EQ(dest, canvas);
}

TEST(Draw, WholeRowsOfEqualWidthAtEveryHeight) {
  // Bitmaps of the same width are copied as one block of rows; the rows outside must stay.
  const TBitmap src = Pattern(6, 5);
  TBitmap canvas(6, 7);
  canvas.Fill(RGB(1, 2, 3));
  for (int y = -6; y <= 8; ++y) {
    TBitmap dest = canvas;
    Draw(dest, 0, y, src);
    ASSERT_EQ(dest, Reference(canvas, 0, y, src, nullptr)) << "at y " << y;
  }
}

TEST(Draw, EightBitSources) {
  TBitmap grey(3, 2, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i)
    grey.Palette()[size_t(i)] = TPaletteEntry{uint8_t(i), uint8_t(i / 2), 9};
  grey.ScanLine(0)[0] = 0;
  grey.ScanLine(0)[2] = 200;
  grey.ScanLine(1)[1] = 255;

  TBitmap colour(4, 3);
  Draw(colour, 1, 1, grey);
  EXPECT_EQ(colour.Pixel(1, 1), RGB(9, 0, 0));
  EXPECT_EQ(colour.Pixel(3, 1), RGB(9, 100, 200));
  EXPECT_EQ(colour.Pixel(2, 2), RGB(9, 127, 255));
  EXPECT_EQ(colour.Pixel(0, 0), clBlack);

  // Into another 8-bit bitmap the indices are copied; the destination keeps its palette.
  TBitmap indices(3, 2, TPixelFormat::pf8bit);
  Draw(indices, -1, 0, grey);
  EXPECT_EQ(indices.ScanLine(0)[1], 200);
  EXPECT_EQ(indices.ScanLine(1)[0], 255);
  EXPECT_EQ(indices.Palette()[200], TPaletteEntry{});
}

TEST(DrawClipped, OnlyInsideTheRegion) {
  const TBitmap src = Pattern(12, 10);
  TBitmap canvas(16, 14);
  canvas.Fill(clWhite);
  TRegion clip = TRegion::CreateRoundRectRgn(-2, 1, 13, 12, 8, 6);
  clip = TRegion::Combine(clip, TRegion::CreateRectRgn(10, 9, 20, 20), TCombineMode::RGN_XOR);
  for (const auto& [x, y] : {std::pair{0, 0}, {3, 2}, {-4, -3}, {8, 9}, {20, 0}}) {
    TBitmap dest = canvas;
    DrawClipped(dest, x, y, src, clip);
    ASSERT_EQ(dest, Reference(canvas, x, y, src, &clip)) << "at " << x << ", " << y;
  }
  TBitmap dest = canvas;
  DrawClipped(dest, 0, 0, src, TRegion{});
  EXPECT_EQ(dest, canvas);
}

// Bands of hundreds of boxes one to a dozen pixels wide (more than are prepared at a time), a
// band of one full-width box and boxes reaching past the bitmap, drawn from 24-bit and 8-bit
// sources at several offsets. Every run length of the inline short copies is exercised.
TEST(DrawClipped, ManyNarrowBoxesPerBand) {
  std::vector<TRect> rects;
  int32_t x = 0;
  for (int k = 0; k < 1100; ++k) {
    const int32_t width = 1 + k % 12;
    rects.push_back(TRect{x, 0, x + width, 3});
    x += width + 1 + k % 3;
  }
  const int32_t w = x;
  rects.push_back(TRect{0, 3, w, 5});
  for (int32_t left : {-7, 40, 90, w - 3}) rects.push_back(TRect{left, 5, left + 45, 8});
  const TRegion clip = TRegion::FromCanonicalRects(rects);

  TBitmap grey(w, 8, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    grey.Palette()[i] = TPaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
  }
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t px = 0; px < w; ++px) grey.ScanLine(y)[px] = uint8_t(px * 3 + y);
  }
  TBitmap canvas(w, 8);
  canvas.Fill(clWhite);
  for (const auto& [dx, dy] : {std::pair{0, 0}, {-3, 1}, {5, -2}}) {
    TBitmap dest = canvas;
    DrawClipped(dest, dx, dy, grey, clip);
    ASSERT_EQ(dest, Reference(canvas, dx, dy, grey, &clip)) << "8-bit at " << dx << ", " << dy;
  }
  const TBitmap colour = Pattern(w, 8);
  for (const auto& [dx, dy] : {std::pair{0, 0}, {-3, 1}, {5, -2}, {1, 0}}) {
    TBitmap dest = canvas;
    DrawClipped(dest, dx, dy, colour, clip);
    ASSERT_EQ(dest, Reference(canvas, dx, dy, colour, &clip)) << "24-bit at " << dx << ", " << dy;
  }
}

TEST(TileGraphic, RowsAndColumnsAsSpecified) {
  // A 64 x 64 graphic on a 200 x 128 area: 3 rows and 4 columns, the last column at x = 192.
  TBitmap tile(64, 64);
  tile.Fill(clWhite);
  tile.SetPixel(0, 0, RGB(255, 0, 0));
  TBitmap canvas(200, 200);
  TileGraphic(canvas, {0, 0, 200, 128}, tile);
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      const bool drawn = row < 3;  // 128 divides evenly: a third row, but no fourth
      EXPECT_EQ(canvas.Pixel(col * 64, row * 64) == RGB(255, 0, 0), drawn) << row << ", " << col;
    }
  }
  EXPECT_EQ(canvas.Pixel(199, 191), clWhite);  // the third row reaches beyond the rect
  EXPECT_EQ(canvas.Pixel(0, 192), clBlack);

  // From a negative origin, and an empty graphic draws nothing.
  TBitmap shifted(64, 64);
  TileGraphic(shifted, {-10, -6, 60, 60}, tile);
  EXPECT_EQ(shifted.Pixel(54, 58), RGB(255, 0, 0));
  TBitmap untouched(10, 10);
  TileGraphic(untouched, {0, 0, 10, 10}, TBitmap{});
  EXPECT_EQ(untouched, TBitmap(10, 10));
}

TEST(TileGraphic, HugeAreaWithTinyGraphicOnlyDrawsVisibleTiles) {
  TBitmap dot(1, 1);
  dot.Fill(clWhite);
  TBitmap canvas(64, 64);
  const auto start = std::chrono::steady_clock::now();
  TileGraphic(canvas, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, dot);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(canvas.Pixel(0, 0), clWhite);
  EXPECT_EQ(canvas.Pixel(63, 63), clWhite);
}

}  // namespace
}  // namespace tovrin
