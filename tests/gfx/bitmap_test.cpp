// The pixel store: stores left uncleared for a caller that overwrites them, and resizing that
// keeps what fits.
#include <gtest/gtest.h>

#include <cstring>

#include "core/errors.h"
#include "gfx/bitmap.h"

namespace tovrin {
namespace {

// Fills every byte of a bitmap's store, padding included, with value, so that a store handed
// out again after it is freed shows any byte left unwritten.
void Scribble(TBitmap& b, uint8_t value) {
  std::memset(b.Bits(), value, b.Stride() * static_cast<size_t>(b.Height()));
}

TEST(BitmapTest, AStoreForOverwriteClearsItsRowPaddingSoEqualPixelsCompareEqual) {
  // Widths whose rows need 0 to 3 bytes of padding, in both formats.
  for (const TPixelFormat format : {TPixelFormat::pf24bit, TPixelFormat::pf8bit}) {
    for (int32_t width = 1; width <= 8; ++width) {
      for (int round = 0; round < 4; ++round) {
        // Freed stores of the same size are likely to be handed out again, dirty.
        TBitmap dirty(width, 5, format);
        Scribble(dirty, 0xEE);
      }
      TBitmap b = TBitmap::ForOverwrite(width, 5, format);
      ASSERT_EQ(b.Width(), width);
      ASSERT_EQ(b.Height(), 5);
      ASSERT_EQ(b.PixelFormat(), format);
      TBitmap cleared(width, 5, format);
      const size_t used = static_cast<size_t>(width) * static_cast<size_t>(b.BytesPerPixel());
      for (int32_t y = 0; y < 5; ++y) {
        std::memset(b.ScanLine(y), 0x5A, used);
        std::memset(cleared.ScanLine(y), 0x5A, used);
        for (size_t i = used; i < b.Stride(); ++i) {
          EXPECT_EQ(b.ScanLine(y)[i], 0) << "width " << width << " row " << y << " byte " << i;
        }
      }
      EXPECT_TRUE(b == cleared) << "width " << width;
    }
  }
  EXPECT_TRUE(TBitmap::ForOverwrite(0, 7).Empty());
  EXPECT_THROW(TBitmap::ForOverwrite(70000, 70000), EOutOfResources);
}

TEST(BitmapTest, SetSizeKeepsThePixelsThatFitAndFillsTheRest) {
  struct Case {
    int32_t FromW, FromH, ToW, ToH;
  };
  const Case cases[] = {{3, 2, 5, 4}, {5, 4, 3, 2}, {2, 5, 7, 1}, {4, 4, 4, 6}, {1, 1, 9, 3}};
  for (const Case& c : cases) {
    TBitmap b(c.FromW, c.FromH);
    for (int32_t y = 0; y < c.FromH; ++y) {
      for (int32_t x = 0; x < c.FromW; ++x) b.SetPixel(x, y, RGB(x * 20 + 1, y * 30 + 2, 99));
    }
    b.SetSize(c.ToW, c.ToH, RGB(7, 8, 9));
    ASSERT_EQ(b.Width(), c.ToW);
    ASSERT_EQ(b.Height(), c.ToH);
    TBitmap expected(c.ToW, c.ToH);
    for (int32_t y = 0; y < c.ToH; ++y) {
      for (int32_t x = 0; x < c.ToW; ++x) {
        const bool kept = x < c.FromW && y < c.FromH;
        expected.SetPixel(x, y, kept ? RGB(x * 20 + 1, y * 30 + 2, 99) : RGB(7, 8, 9));
      }
    }
    EXPECT_TRUE(b == expected) << c.FromW << "x" << c.FromH << " -> " << c.ToW << "x" << c.ToH;
  }
}

}  // namespace
}  // namespace tovrin
