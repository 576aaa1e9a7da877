// TWin32TextRenderer: caption text with GDI. A line is measured with GetTextExtentPoint32A and
// drawn with a transparent TextOutA on a DIB section that holds the pixels under the line's box:
// they are copied in, the glyphs drawn over them, and copied back, so only glyph pixels change.
#pragma once

#include "platform/text_renderer.h"

namespace tovrin {

class TWin32TextRenderer final : public TTextRenderer {
 public:
  TTextSize TextExtent(const TTextFont& font, std::string_view text) override;
  void TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
               std::string_view text) override;
};

}  // namespace tovrin
