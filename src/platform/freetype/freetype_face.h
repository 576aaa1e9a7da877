// FreeType faces for caption text: the library and face handles, and one face at one size with
// the glyphs of the 256 Windows-1252 bytes cached as they are first used.
//
// Sizes follow the system's logical fonts. TTextFont::Height < 0 is the em size in pixels,
// > 0 the cell height (ascent + descent) in pixels, 0 the default of 8 points at 96 dpi. Ascent
// and descent are the face's Windows metrics (OS/2 usWinAscent / usWinDescent, meant to bound the
// glyphs), or the horizontal header's where the face has no OS/2 table; for a
// given em size both are rounded up to whole pixels. The em size is capped at
// MaxPixelSize, so a height out of any sensible range costs no more than a very large caption.
//
// Glyphs are hinted and their advances whole pixels, so the same text at the same size always
// measures and draws the same.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SIZES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tovrin {

struct TFreeTypeLibraryDeleter {
  void operator()(FT_Library library) const { FT_Done_FreeType(library); }
};
struct TFreeTypeFaceDeleter {
  void operator()(FT_Face face) const { FT_Done_Face(face); }
};
struct TFreeTypeSizeDeleter {
  void operator()(FT_Size size) const { FT_Done_Size(size); }
};
using TFreeTypeLibrary = std::unique_ptr<FT_LibraryRec_, TFreeTypeLibraryDeleter>;
using TFreeTypeFaceHandle = std::unique_ptr<FT_FaceRec_, TFreeTypeFaceDeleter>;
using TFreeTypeSizeHandle = std::unique_ptr<FT_SizeRec_, TFreeTypeSizeDeleter>;

// A loaded face file with its design metrics. nullptr from Load when the file cannot be read or
// holds no scalable face.
class TFontFace {
 public:
  static std::unique_ptr<TFontFace> Load(FT_Library library, const char* path, int64_t index);

  FT_Face Face() const { return FFace.get(); }
  int32_t UnitsPerEm() const { return FUnitsPerEm; }
  int32_t WinAscent() const { return FWinAscent; }    // font units, > 0
  int32_t WinDescent() const { return FWinDescent; }  // font units, >= 0
  // The face has no Unicode character map but a symbol one, which maps byte b at U+F000 + b.
  bool SymbolMap() const { return FSymbolMap; }

 private:
  TFontFace() = default;
  TFreeTypeFaceHandle FFace;
  int32_t FUnitsPerEm = 0;
  int32_t FWinAscent = 0;
  int32_t FWinDescent = 0;
  bool FSymbolMap = false;
};

// A glyph's place and advance: what measuring needs, without rendering.
struct TGlyphMetrics {
  FT_UInt Index = 0;
  int32_t Advance = 0;  // whole pixels
  // The ink's bounds relative to the origin on the baseline, y growing downwards, rounded
  // outwards; the rendered coverage lies inside.
  int32_t InkLeft = 0, InkTop = 0, InkRight = 0, InkBottom = 0;
};

// A rendered glyph: 8-bit coverage, Width x Rows, rows top-down. Left and Top place its top-left
// pixel relative to the origin on the baseline (Top counts upwards, as FreeType gives it).
struct TGlyphImage {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Rows = 0;
  std::vector<uint8_t> Coverage;
};

// One face at one TTextFont::Height. The face must outlive it. Only one face size is active in
// FreeType at a time: Activate() before using Metrics, Image or Kerning.
class TSizedFace {
 public:
  static constexpr int32_t MaxPixelSize = 2048;
  // A glyph image larger than this is rendered for one use and not kept, so huge sizes cannot
  // fill the cache.
  static constexpr size_t MaxCachedImageBytes = 64 * 1024;

  TSizedFace(TFontFace& face, int32_t height);

  void Activate();
  int32_t Ascent() const { return FAscent; }
  int32_t Descent() const { return FDescent; }
  bool HasKerning() const { return FHasKerning; }

  const TGlyphMetrics& Metrics(uint8_t ansi);
  // The glyph's coverage; valid until the next call (an image too large to keep is rebuilt each
  // time). Metrics(ansi) must have been called first.
  const TGlyphImage& Image(uint8_t ansi);
  // The kerning between two glyphs in whole pixels (0 without kerning).
  int32_t Kerning(FT_UInt left, FT_UInt right);
  // Bytes held by cached glyph images.
  size_t CachedBytes() const { return FCachedBytes; }

 private:
  TFontFace& FFace;
  TFreeTypeSizeHandle FSize;
  int32_t FAscent = 0;
  int32_t FDescent = 0;
  bool FHasKerning = false;
  std::array<std::unique_ptr<TGlyphMetrics>, 256> FMetrics;
  std::array<std::unique_ptr<TGlyphImage>, 256> FImages;
  TGlyphImage FScratch;  // an image too large to keep
  size_t FCachedBytes = 0;
};

}  // namespace tovrin
