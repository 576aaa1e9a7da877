#include "platform/freetype/freetype_face.h"

#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/ansi_text.h"

namespace tovrin {

namespace {

// 26.6 fixed point to whole pixels: nearest, and rounded outwards.
int32_t RoundPixels(FT_Pos v) {
  return static_cast<int32_t>((v + 32) >> 6);
}
int32_t FloorPixels(FT_Pos v) {
  return static_cast<int32_t>(v >> 6);
}
int32_t CeilPixels(FT_Pos v) {
  return static_cast<int32_t>((v + 63) >> 6);
}

}  // namespace

std::unique_ptr<TFontFace> TFontFace::Load(FT_Library library, const char* path, int64_t index) {
  FT_Face raw = nullptr;
  if (FT_New_Face(library, path, static_cast<FT_Long>(index), &raw) != 0) return nullptr;
  std::unique_ptr<TFontFace> face(new TFontFace);
  face->FFace.reset(raw);
  if (!FT_IS_SCALABLE(raw) || raw->units_per_EM == 0) return nullptr;
  if (!raw->charmap) {
    face->FSymbolMap = FT_Select_Charmap(raw, FT_ENCODING_MS_SYMBOL) == 0;
  }
  face->FUnitsPerEm = raw->units_per_EM;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(raw, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    face->FWinAscent = os2->usWinAscent;
    face->FWinDescent = os2->usWinDescent;
  } else {
    face->FWinAscent = std::max<int32_t>(raw->ascender, 0);
    face->FWinDescent = std::max<int32_t>(-raw->descender, 0);
  }
  // A face with no vertical metrics at all gets an em square's worth of ascent.
  if (face->FWinAscent + face->FWinDescent <= 0) face->FWinAscent = face->FUnitsPerEm;
  if (face->FWinAscent <= 0) face->FWinAscent = 1;
  return face;
}

TSizedFace::TSizedFace(TFontFace& face, int32_t height) : FFace(face) {
  const double upem = face.UnitsPerEm();
  const double ascent = face.WinAscent();
  const double cell = ascent + face.WinDescent();
  double em = 0;
  if (height > 0) {
    em = height * upem / cell;
  } else if (height == 0) {
    em = 8.0 * 96.0 / 72.0;
  } else {
    em = -static_cast<double>(height);  // as a double, so -INT32_MIN does not overflow
  }
  if (height > 0 && em <= MaxPixelSize) {
    // The cell height is exactly what was asked for.
    FAscent = static_cast<int32_t>(std::lround(height * ascent / cell));
    FDescent = height - FAscent;
  } else {
    // Rounded up, so that glyphs reaching the face's ascent or descent stay inside the line
    // box once hinting has moved their edges to whole pixels.
    em = std::min<double>(em, MaxPixelSize);
    FAscent = static_cast<int32_t>(std::ceil(em * ascent / upem));
    FDescent = static_cast<int32_t>(std::ceil(em * face.WinDescent() / upem));
  }

  FT_Size size = nullptr;
  if (FT_New_Size(face.Face(), &size) == 0) {
    FSize.reset(size);
    FT_Activate_Size(size);
    // At 72 dpi a point is a pixel: the char size is the em size in 26.6 pixels.
    const FT_F26Dot6 em26 = std::max<FT_F26Dot6>(std::lround(em * 64), 1);
    FT_Set_Char_Size(face.Face(), 0, em26, 72, 72);
  }
  FHasKerning = FT_HAS_KERNING(face.Face());
}

void TSizedFace::Activate() {
  if (FSize) FT_Activate_Size(FSize.get());
}

const TGlyphMetrics& TSizedFace::Metrics(uint8_t ansi) {
  std::unique_ptr<TGlyphMetrics>& slot = FMetrics[ansi];
  if (slot) return *slot;
  slot = std::make_unique<TGlyphMetrics>();
  FT_Face face = FFace.Face();
  const FT_ULong code = FFace.SymbolMap() ? 0xF000u + ansi : AnsiToCodePoint(ansi);
  // A character the face lacks draws as its missing-glyph box (index 0), as on Windows.
  slot->Index = FT_Get_Char_Index(face, code);
  if (!FSize || FT_Load_Glyph(face, slot->Index, FT_LOAD_NO_BITMAP) != 0) return *slot;
  const FT_GlyphSlot glyph = face->glyph;
  slot->Advance = RoundPixels(std::max<FT_Pos>(glyph->advance.x, 0));
  if (glyph->format == FT_GLYPH_FORMAT_OUTLINE && glyph->outline.n_points > 0) {
    FT_BBox box{};
    FT_Outline_Get_CBox(&glyph->outline, &box);
    // One pixel more on each side: the renderer widens ink thinner than a pixel.
    slot->InkLeft = FloorPixels(box.xMin) - 1;
    slot->InkRight = CeilPixels(box.xMax) + 1;
    slot->InkTop = -CeilPixels(box.yMax) - 1;
    slot->InkBottom = -FloorPixels(box.yMin) + 1;
  }
  return *slot;
}

const TGlyphImage& TSizedFace::Image(uint8_t ansi) {
  if (FImages[ansi]) return *FImages[ansi];
  TGlyphImage image;
  FT_Face face = FFace.Face();
  const FT_UInt index = Metrics(ansi).Index;
  if (FSize && FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) == 0 &&
      face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    image.Left = face->glyph->bitmap_left;
    image.Top = face->glyph->bitmap_top;
    image.Width = static_cast<int32_t>(bitmap.width);
    image.Rows = static_cast<int32_t>(bitmap.rows);
    image.Coverage.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Rows));
    // A negative pitch means the rows run bottom-up in memory; the pitch always steps to the
    // row below.
    const ptrdiff_t pitch = bitmap.pitch;
    const uint8_t* top = bitmap.buffer + (pitch < 0 ? -pitch * (image.Rows - 1) : 0);
    for (int32_t y = 0; y < image.Rows && image.Width > 0; ++y) {
      std::memcpy(image.Coverage.data() + static_cast<size_t>(y) * image.Width, top + y * pitch,
                  image.Width);
    }
  }
  if (image.Coverage.size() > MaxCachedImageBytes) {
    FScratch = std::move(image);
    return FScratch;
  }
  FCachedBytes += image.Coverage.size();
  FImages[ansi] = std::make_unique<TGlyphImage>(std::move(image));
  return *FImages[ansi];
}

int32_t TSizedFace::Kerning(FT_UInt left, FT_UInt right) {
  if (!FHasKerning || !FSize || left == 0 || right == 0) return 0;
  FT_Vector delta{};
  if (FT_Get_Kerning(FFace.Face(), left, right, FT_KERNING_DEFAULT, &delta) != 0) return 0;
  return RoundPixels(delta.x);
}

}  // namespace tovrin
