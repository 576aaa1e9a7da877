// TFreeTypeTextRenderer: caption text drawn with FreeType, faces found through fontconfig. The
// text renderer of the back ends other than Windows.
//
// Faces are matched by name (a missing face becomes DejaVu Sans, see font_match.h) and sized as
// freetype_face.h describes. Text is Windows-1252, one glyph a byte, advances in whole pixels
// with the face's kerning. A line's extent is the sum of its advances by the face's ascent plus
// descent; drawn, a glyph's ink may reach a little past that box (an italic's overhang, a j's
// hook to the left, in some faces an accent on a capital above) and is still drawn there,
// clipped only to the bitmap, as the system's TextOut does. Coverage is
// 8-bit anti-aliasing blended onto 24-bit bitmaps; other bitmaps are left as they are.
//
// Loaded faces, sizes and rendered glyphs are cached, so after the first use of a font a
// caption costs little more than blending its pixels. Not thread-safe: one renderer serves the
// thread that draws.
#pragma once

#include <memory>
#include <string>

#include "platform/text_renderer.h"

namespace tovrin {

class TFreeTypeTextRenderer final : public TTextRenderer {
 public:
  TFreeTypeTextRenderer();
  ~TFreeTypeTextRenderer() override;

  TTextSize TextExtent(const TTextFont& font, std::string_view text) override;
  void TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
               std::string_view text) override;

  // The font file a face name draws with; empty when the system has no fonts at all.
  std::string FaceFile(const std::string& name);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;  // keeps FreeType's and fontconfig's headers out of this one
};

}  // namespace tovrin
