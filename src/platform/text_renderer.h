// TTextRenderer: measures and draws a line of caption text onto a bitmap.
//
// Text is in the package's code page (Windows-1252). The font is a face name, a height in pixels
// as the system's logical fonts take it (negative: the character height, the em size; positive:
// the cell height including internal leading) and a colour; a face the system does not have is
// replaced by its default face. Drawing is transparent: only the glyphs' pixels change.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/bitmap.h"
#include "gfx/color.h"

namespace tovrin {

struct TTextFont {
  std::string Name;
  int32_t Height = -11;
  TColor Color = clBlack;
};

struct TTextSize {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TTextSize&, const TTextSize&) = default;
};

class TTextRenderer {
 public:
  virtual ~TTextRenderer() = default;
  // Advance width and line height (ascent + descent) of text in font.
  virtual TTextSize TextExtent(const TTextFont& font, std::string_view text) = 0;
  // Draws text with the top-left of its line box at (x, y); clipped to the bitmap (24-bit).
  virtual void TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
                       std::string_view text) = 0;
};

}  // namespace tovrin
