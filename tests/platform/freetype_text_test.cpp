// The FreeType caption renderer: which face a name draws with, the two height conventions, what
// TextOut may touch, the colour of covered pixels, clipping at every edge and far outside, the
// Windows-1252 bytes, and the caches giving back what a fresh renderer draws.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "noise_bitmap.h"
#include "platform/freetype/freetype_text.h"

namespace tovrin {
namespace {

constexpr const char* kSans = "DejaVu Sans";
constexpr const char* kMono = "DejaVu Sans Mono";

std::string BaseName(const std::string& path) {
  return path.substr(path.find_last_of('/') + 1);
}

// The bounds of the pixels in which two bitmaps of one size differ; empty when none do.
TRect ChangedBounds(const TBitmap& a, const TBitmap& b) {
  TRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int32_t y = 0; y < a.Height(); ++y) {
    for (int32_t x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) == b.Pixel(x, y)) continue;
      r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1),
           std::max(r.Bottom, y + 1)};
    }
  }
  return r.Left > r.Right ? TRect{} : r;
}

// text drawn in white on black with a margin of 100 pixels all round.
TBitmap Draw(TFreeTypeTextRenderer& renderer, TTextFont font, const std::string& text) {
  const TTextSize size = renderer.TextExtent(font, text);
  TBitmap b(size.Width + 200, size.Height + 200);
  font.Color = clWhite;
  renderer.TextOut(b, 100, 100, font, text);
  return b;
}

TEST(FreeTypeTextTest, FaceNamesMatchTheirFamilyAndAnythingElseDrawsWithDejaVuSans) {
  struct Case {
    const char* name;
    const char* file;
  };
  const Case cases[] = {
      {"DejaVu Sans", "DejaVuSans.ttf"},
      {"dejavu sans mono", "DejaVuSansMono.ttf"},  // case does not matter
      {"DEJAVU SERIF", "DejaVuSerif.ttf"},
      {"No Such Face", "DejaVuSans.ttf"},
      {"", "DejaVuSans.ttf"},
      // fontconfig answers these with some other face: not the one asked for.
      {"serif", "DejaVuSans.ttf"},
      {"monospace", "DejaVuSans.ttf"},
      {"DejaVu", "DejaVuSans.ttf"},
  };
  TFreeTypeTextRenderer renderer;
  for (const Case& c : cases) {
    EXPECT_EQ(BaseName(renderer.FaceFile(c.name)), c.file) << "face \"" << c.name << "\"";
  }
  // What is drawn follows the match.
  const std::string text = "iiiiiiii Wm";
  const TBitmap sans = Draw(renderer, {kSans, -20}, text);
  EXPECT_EQ(Draw(renderer, {"No Such Face", -20}, text), sans);
  EXPECT_GT(renderer.TextExtent({kMono, -20}, "iiiiiiii").Width,
            renderer.TextExtent({kSans, -20}, "iiiiiiii").Width);
}

TEST(FreeTypeTextTest, HeightsFollowTheLogicalFontConvention) {
  TFreeTypeTextRenderer renderer;
  // Positive: the line box is exactly that tall.
  for (int32_t h = 1; h <= 300; h += 7) {
    EXPECT_EQ(renderer.TextExtent({kSans, h}, "Hg").Height, h) << "height " << h;
  }
  // Negative: the em size. DejaVu Sans' capitals are 1493/2048 em tall, so an H at -100 stands
  // 73 pixels high; at +100 the em is smaller than the line, about 63. The H stands on the
  // baseline, the face's ascent (1901/2048 em, 1901/2384 of the line) below the top.
  struct Case {
    int32_t height;
    int32_t capRows;
    int32_t baseline;
  };
  for (const Case& c : {Case{-100, 73, 93}, Case{100, 63, 80}, Case{-40, 29, 38}}) {
    const TBitmap b = Draw(renderer, {kSans, c.height}, "H");
    const TRect ink = ChangedBounds(b, TBitmap(b.Width(), b.Height()));
    EXPECT_NEAR(ink.Height(), c.capRows, 1) << "height " << c.height;
    EXPECT_EQ(ink.Bottom - 100, c.baseline) << "height " << c.height;
  }
  // 0 is 8 points at 96 dpi, an em of 10 2/3 pixels.
  const std::string text = "The quick brown fox jumps over the lazy dog";
  const int32_t zero = renderer.TextExtent({kSans, 0}, text).Width;
  EXPECT_GE(zero, renderer.TextExtent({kSans, -10}, text).Width);
  EXPECT_LE(zero, renderer.TextExtent({kSans, -11}, text).Width);
}

TEST(FreeTypeTextTest, ExtentGrowsWithTextAndSize) {
  TFreeTypeTextRenderer renderer;
  EXPECT_EQ(renderer.TextExtent({kSans, -20}, "").Width, 0);
  EXPECT_GT(renderer.TextExtent({kSans, -20}, "").Height, 0);
  const std::string text = "Summer 2004, Norway";
  for (size_t n = 1; n < text.size(); ++n) {
    EXPECT_LT(renderer.TextExtent({kSans, -20}, text.substr(0, n)).Width,
              renderer.TextExtent({kSans, -20}, text.substr(0, n + 1)).Width)
        << "prefix of " << n;
  }
  TTextSize previous = renderer.TextExtent({kSans, -6}, text);
  for (int32_t h : {-9, -12, -16, -24, -40, -72, -150}) {
    const TTextSize size = renderer.TextExtent({kSans, h}, text);
    EXPECT_GT(size.Width, previous.Width) << "height " << h;
    EXPECT_GT(size.Height, previous.Height) << "height " << h;
    previous = size;
  }
}

TEST(FreeTypeTextTest, HeightsOutOfRangeAreCappedAndSafe) {
  TFreeTypeTextRenderer renderer;
  const TTextSize cap = renderer.TextExtent({kSans, -2048}, "W");
  EXPECT_GT(cap.Height, 2048);
  for (int32_t h : {INT32_MIN, -2049, -1000000, 1000000, INT32_MAX}) {
    EXPECT_EQ(renderer.TextExtent({kSans, h}, "W"), cap) << "height " << h;
    // At the cap an H's left stem spans about columns 200 to 390 and rows 410 to 1900.
    TBitmap b(64, 64);
    renderer.TextOut(b, -250, -1000, {kSans, h, clWhite}, "H");
    EXPECT_EQ(b.Pixel(32, 32), clWhite) << "height " << h;
  }
}

TEST(FreeTypeTextTest, TextOutChangesOnlyPixelsInsideTheMeasuredBox) {
  // Texts whose glyphs keep their ink inside the line box: a leading j's hook reaches left of
  // the pen, and some faces' accented capitals rise above their ascent, as on Windows.
  struct Case {
    const char* text;
    int32_t height;
    int32_t x, y;
  };
  const Case cases[] = {
      {"Hello, World", -8, 3, 5}, {"Hello, World", -13, 10, 20},
      {"Summer 2004", -20, 0, 0}, {"Summer 2004", 25, 17, 9},
      {"H", -60, 40, 30},         {"Hgypq", -33, 5, 40},
      {"0123456789", -100, 1, 2}, {"\xC9t\xE9 \xE0 Gen\xE8ve", -28, 12, 3},
  };
  TFreeTypeTextRenderer renderer;
  for (const Case& c : cases) {
    const TTextFont font{kSans, c.height, RGB(250, 240, 10)};
    const TTextSize size = renderer.TextExtent(font, c.text);
    const TBitmap before = test::NoiseBitmap(size.Width + 60, size.Height + 80, 7);
    TBitmap after = before;
    renderer.TextOut(after, c.x, c.y, font, c.text);
    const TRect changed = ChangedBounds(before, after);
    const TRect box{c.x, c.y, c.x + size.Width, c.y + size.Height};
    EXPECT_FALSE(changed.IsEmpty()) << c.text;
    EXPECT_TRUE(changed.Left >= box.Left && changed.Top >= box.Top && changed.Right <= box.Right &&
                changed.Bottom <= box.Bottom)
        << c.text << " at " << c.height << ": changed (" << changed.Left << ", " << changed.Top
        << ")-(" << changed.Right << ", " << changed.Bottom << "), box (" << box.Left << ", "
        << box.Top << ")-(" << box.Right << ", " << box.Bottom << ")";
  }
}

TEST(FreeTypeTextTest, FullyCoveredPixelsHaveTheColourAndPartlyCoveredOnesLieBetween) {
  const TColor colors[] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(0, 255, 0), RGB(0x33, 0x66, 0x99),
                           clBlack,        clWhite,        clWindowText};  // a system colour: black
  TFreeTypeTextRenderer renderer;
  for (TColor color : colors) {
    const TColor rgb = ColorToRGB(color);
    const TTextFont font{kSans, -60, color};
    TBitmap onBlack(80, 80), onWhite(80, 80);
    onWhite.Fill(clWhite);
    renderer.TextOut(onBlack, 5, 5, font, "H");
    renderer.TextOut(onWhite, 5, 5, font, "H");
    int full = 0;
    for (int32_t y = 0; y < 80; ++y) {
      for (int32_t x = 0; x < 80; ++x) {
        const TColor black = onBlack.Pixel(x, y), white = onWhite.Pixel(x, y);
        if (black == rgb && white == rgb) ++full;
        // Each channel moves from the background towards the colour, never past it.
        for (int shift : {0, 8, 16}) {
          const int c = (rgb >> shift) & 0xFF, b = (black >> shift) & 0xFF,
                    w = (white >> shift) & 0xFF;
          ASSERT_TRUE(b <= c && w >= c)
              << "colour " << std::hex << color << " at " << std::dec << x << "," << y;
        }
      }
    }
    // An H's stems at 60 pixels are about 8 pixels wide and 44 tall.
    EXPECT_GT(full, 300) << "colour " << std::hex << color;
  }
}

TEST(FreeTypeTextTest, ClippedDrawingMatchesTheSameCutFromAnUnclippedOne) {
  const TTextFont font{kSans, -30, RGB(10, 200, 90)};
  const std::string text = "Wagon";
  TFreeTypeTextRenderer renderer;
  const TTextSize size = renderer.TextExtent(font, text);
  const int32_t w = size.Width, h = size.Height, W = 60, H = 30;
  struct Case {
    int32_t x, y;
  };
  // Every position from just outside one edge to just outside the opposite one, on both axes,
  // and the corners.
  std::vector<Case> cases;
  for (int32_t x = -w - 1; x <= W + 1; ++x) cases.push_back({x, 3});
  for (int32_t y = -h - 1; y <= H + 1; ++y) cases.push_back({-7, y});
  for (Case c : {Case{-w / 2, -h / 2}, Case{W - 10, H - 10}, Case{-w + 1, -h + 1},
                 Case{W - 1, H - 1}, Case{W - 10, -h / 2}, Case{-w / 2, H - 10}}) {
    cases.push_back(c);
  }
  const int32_t margin = std::max(w, h) + 2;  // room for the line beyond any edge
  const TBitmap noise = test::NoiseBitmap(W + 2 * margin, H + 2 * margin, 3);
  const auto crop = [&](const TBitmap& from) {
    TBitmap b(W, H);
    for (int32_t y = 0; y < H; ++y) {
      for (int32_t x = 0; x < W; ++x) b.SetPixel(x, y, from.Pixel(x + margin, y + margin));
    }
    return b;
  };
  for (const Case& c : cases) {
    TBitmap canvas = noise;
    TBitmap actual = crop(canvas);
    renderer.TextOut(canvas, c.x + margin, c.y + margin, font, text);
    renderer.TextOut(actual, c.x, c.y, font, text);
    EXPECT_EQ(actual, crop(canvas)) << "at " << c.x << "," << c.y;
  }
  // Far outside, where a position plus an advance would overflow 32 bits.
  const std::string longText(5000, 'W');
  for (const Case& c : {Case{INT32_MIN, 0}, Case{INT32_MAX, 0}, Case{0, INT32_MIN},
                        Case{0, INT32_MAX}, Case{INT32_MAX, INT32_MAX}, Case{INT32_MIN, INT32_MIN},
                        Case{INT32_MAX - 100, 0}, Case{-1000000000, 0}}) {
    const TBitmap before = test::NoiseBitmap(W, H, 5);
    TBitmap after = before;
    renderer.TextOut(after, c.x, c.y, font, longText);
    EXPECT_EQ(after, before) << "at " << c.x << "," << c.y;
  }
  // A line starting far to the left reaches the bitmap after enough glyphs.
  TBitmap b(W, H);
  renderer.TextOut(b, -(int32_t(longText.size()) - 3) * renderer.TextExtent(font, "W").Width, 0,
                   font, longText);
  EXPECT_NE(b, TBitmap(W, H));
}

TEST(FreeTypeTextTest, WindowsCodePageCharactersDrawTheirGlyphs) {
  struct Case {
    const char* text;
    const char* what;
  };
  // 0x80..0x9F are where Windows-1252 differs from Latin-1: read as code points they would be
  // control characters, drawn as the missing-glyph box (as 0x81, which the code page leaves
  // undefined, is).
  const Case cases[] = {
      {"\xE9", "e acute"},     {"\x80", "euro"},     {"\x8A", "S caron"},
      {"\x9F", "Y diaeresis"}, {"\x85", "ellipsis"}, {"\xFF", "y diaeresis"},
  };
  TFreeTypeTextRenderer renderer;
  const TBitmap missing = Draw(renderer, {kSans, -30}, "\x81");
  for (const Case& c : cases) {
    const TBitmap b = Draw(renderer, {kSans, -30}, c.text);
    EXPECT_NE(b, TBitmap(b.Width(), b.Height())) << c.what << " drew nothing";
    EXPECT_NE(b, missing) << c.what << " drew the missing-glyph box";
  }
  EXPECT_NE(Draw(renderer, {kSans, -30}, "\xE9"), Draw(renderer, {kSans, -30}, "e"));
}

TEST(FreeTypeTextTest, CachedFacesAndSizesDrawWhatAFreshRendererDraws) {
  // Faces are shared between sizes and only one size is active in FreeType at a time, so a
  // cache keyed or activated wrongly draws a later call at an earlier call's size.
  struct Step {
    const char* face;
    int32_t height;
  };
  std::vector<Step> steps = {{kSans, -20}, {kMono, -20}, {kSans, -40},    {kSans, 20},
                             {kMono, -7},  {kSans, -20}, {"No Such", -40}};
  for (int32_t h = -5; h > -30; --h) steps.push_back({kSans, h});  // more sizes than are kept
  steps.push_back({kSans, -20});
  steps.push_back({kMono, -7});
  const std::string text = "AVAST ye, Wolf";
  TFreeTypeTextRenderer shared;
  for (const Step& s : steps) {
    TFreeTypeTextRenderer fresh;
    const TTextFont font{s.face, s.height};
    EXPECT_EQ(shared.TextExtent(font, text), fresh.TextExtent(font, text))
        << s.face << " " << s.height;
    EXPECT_EQ(Draw(shared, font, text), Draw(fresh, font, text)) << s.face << " " << s.height;
  }
}

TEST(FreeTypeTextTest, BitmapsItCannotDrawOnAreLeftAsTheyAre) {
  TFreeTypeTextRenderer renderer;
  const TTextFont font{kSans, -20, clWhite};
  TBitmap grey(40, 20, TPixelFormat::pf8bit);
  renderer.TextOut(grey, 0, 0, font, "Hi");
  EXPECT_EQ(grey, TBitmap(40, 20, TPixelFormat::pf8bit));
  TBitmap empty;
  renderer.TextOut(empty, 0, 0, font, "Hi");
  EXPECT_TRUE(empty.Empty());
  TBitmap b(40, 20);
  renderer.TextOut(b, 0, 0, font, "");
  EXPECT_EQ(b, TBitmap(40, 20));
}

}  // namespace
}  // namespace tovrin
