// Captions drawn with GDI: the measured box holds the drawing, only glyph pixels change (the
// background shows through), the colour is the font's, and a face the system lacks still draws.
#include <gtest/gtest.h>

#include "noise_bitmap.h"
#include "platform/win32/win32_text.h"

namespace tovrin {
namespace {

TEST(Win32TextTest, TheExtentGrowsWithTheTextAndTheHeight) {
  TWin32TextRenderer text;
  const TTextFont small{"Arial", -11, clWhite};
  const TTextFont large{"Arial", -40, clWhite};
  const TTextSize one = text.TextExtent(small, "Harbour");
  const TTextSize two = text.TextExtent(small, "Harbour Harbour");
  EXPECT_GT(one.Width, 0);
  EXPECT_GT(two.Width, one.Width);
  EXPECT_EQ(two.Height, one.Height);
  EXPECT_GT(text.TextExtent(large, "Harbour").Height, 3 * one.Height);
  EXPECT_EQ(text.TextExtent(small, "").Width, 0);
}

TEST(Win32TextTest, DrawingChangesOnlyGlyphPixelsInsideTheLineInTheFontsColour) {
  TWin32TextRenderer text;
  for (const char* face : {"Arial", "No Such Face At All"}) {
    const TTextFont font{face, -24, RGB(255, 0, 0)};
    TBitmap frame(300, 80);
    frame.Fill(RGB(0, 0, 255));
    const TBitmap before = frame;
    const TTextSize size = text.TextExtent(font, "Tovrin Wg");
    const int32_t x = 40, y = 20;
    text.TextOut(frame, x, y, font, "Tovrin Wg");
    int changed = 0;
    for (int32_t py = 0; py < frame.Height(); ++py) {
      for (int32_t px = 0; px < frame.Width(); ++px) {
        if (frame.Pixel(px, py) == before.Pixel(px, py)) continue;
        ++changed;
        ASSERT_TRUE(py >= y && py < y + size.Height) << face << " row " << py;
        ASSERT_TRUE(px >= x - size.Height && px < x + size.Width + size.Height) << face;
        // Glyph pixels are the red of the font, blended with the blue below at the edges.
        ASSERT_EQ(GetGValue(frame.Pixel(px, py)), 0) << face;
      }
    }
    EXPECT_GT(changed, 50) << face << ": the text was drawn";
    EXPECT_LT(changed, size.Width * size.Height) << face << ": transparently";
  }
}

TEST(Win32TextTest, TextReachingOverTheEdgeIsClipped) {
  TWin32TextRenderer text;
  const TTextFont font{"Arial", -30, clWhite};
  TBitmap frame = test::NoiseBitmap(50, 20, 5);
  text.TextOut(frame, -20, 5, font, "clipped on both sides");
  text.TextOut(frame, 10, 500, font, "below");
  SUCCEED() << "drawing outside the bitmap touches nothing outside it";
}

}  // namespace
}  // namespace tovrin
