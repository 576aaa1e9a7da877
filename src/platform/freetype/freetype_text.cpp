#include "platform/freetype/freetype_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <utility>

#include "platform/freetype/font_match.h"
#include "platform/freetype/freetype_face.h"

namespace tovrin {

namespace {

// Bounds on the caches, so that callers asking for ever new names and sizes cannot make them
// grow without end. Past a bound the cache starts afresh.
constexpr size_t kMaxNames = 64;
constexpr size_t kMaxSizes = 16;
constexpr size_t kMaxCachedBytes = 32 * 1024 * 1024;

// Blends 8-bit coverage in colour (b, g, r) onto target with the image's top-left pixel at
// (left, top), clipped to the bitmap. Full coverage gives the colour exactly.
void BlendGlyph(TBitmap& target, const TGlyphImage& image, int64_t left, int64_t top, uint8_t b,
                uint8_t g, uint8_t r) {
  const int64_t x0 = std::max<int64_t>(left, 0);
  const int64_t x1 = std::min<int64_t>(left + image.Width, target.Width());
  const int64_t y0 = std::max<int64_t>(top, 0);
  const int64_t y1 = std::min<int64_t>(top + image.Rows, target.Height());
  if (x0 >= x1 || y0 >= y1) return;
  const auto blend = [](uint8_t dst, uint8_t src, uint32_t a) {
    return static_cast<uint8_t>((dst * (255 - a) + src * a + 127) / 255);
  };
  for (int64_t y = y0; y < y1; ++y) {
    const uint8_t* cover =
        image.Coverage.data() + static_cast<size_t>(y - top) * image.Width + (x0 - left);
    uint8_t* px = target.ScanLine(static_cast<int32_t>(y)) + 3 * x0;
    for (int64_t x = x0; x < x1; ++x, ++cover, px += 3) {
      const uint32_t a = *cover;
      if (a == 0) continue;
      if (a == 255) {
        px[0] = b;
        px[1] = g;
        px[2] = r;
      } else {
        px[0] = blend(px[0], b, a);
        px[1] = blend(px[1], g, a);
        px[2] = blend(px[2], r, a);
      }
    }
  }
}

// Walks text glyph by glyph: onGlyph(byte, metrics, origin) with the pen's position in pixels
// from the start of the line. Returns the line's advance.
template <typename OnGlyph>
int64_t Layout(TSizedFace& sized, std::string_view text, OnGlyph&& onGlyph) {
  int64_t pen = 0;
  FT_UInt previous = 0;
  for (char c : text) {
    const auto ansi = static_cast<uint8_t>(c);
    const TGlyphMetrics& metrics = sized.Metrics(ansi);
    pen += sized.Kerning(previous, metrics.Index);
    onGlyph(ansi, metrics, pen);
    pen += metrics.Advance;
    previous = metrics.Index;
  }
  return pen;
}

}  // namespace

struct TFreeTypeTextRenderer::TImpl {
  struct TNamedFace {
    TFontFace* Face = nullptr;  // nullptr: no font at all
    std::string Path;
  };

  TFontMatcher Matcher;
  // Declared in this order so that sizes go before their faces, and faces before the library.
  TFreeTypeLibrary Library;
  std::map<TFontFile, std::unique_ptr<TFontFace>> Faces;  // nullptr: the file did not load
  std::map<std::string, TNamedFace> Names;
  std::map<std::pair<TFontFace*, int32_t>, std::unique_ptr<TSizedFace>> Sizes;

  TImpl() {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0) Library.reset(library);
  }

  TFontFace* Load(const TFontFile& file) {
    auto [it, added] = Faces.try_emplace(file);
    if (added) it->second = TFontFace::Load(Library.get(), file.Path.c_str(), file.Index);
    return it->second.get();
  }

  const TNamedFace& Named(const std::string& name) {
    if (auto it = Names.find(name); it != Names.end()) return it->second;
    if (Names.size() >= kMaxNames) Names.clear();
    TNamedFace named;
    std::optional<TFontFile> file = Matcher.Match(name);
    if (file) named.Face = Load(*file);
    if (!named.Face && (file = Matcher.Default())) named.Face = Load(*file);
    if (named.Face) named.Path = file->Path;
    return Names.emplace(name, std::move(named)).first->second;
  }

  // The font at its size, active in FreeType; nullptr when there is no font to draw with.
  TSizedFace* Sized(const TTextFont& font) {
    if (!Library) return nullptr;
    TFontFace* face = Named(font.Name).Face;
    if (!face) return nullptr;
    size_t bytes = 0;
    for (const auto& [key, sized] : Sizes) bytes += sized->CachedBytes();
    if (bytes > kMaxCachedBytes) Sizes.clear();
    const std::pair key{face, font.Height};
    auto it = Sizes.find(key);
    if (it == Sizes.end()) {
      if (Sizes.size() >= kMaxSizes) Sizes.clear();
      it = Sizes.emplace(key, std::make_unique<TSizedFace>(*face, font.Height)).first;
    }
    it->second->Activate();
    return it->second.get();
  }
};

TFreeTypeTextRenderer::TFreeTypeTextRenderer() : FImpl(std::make_unique<TImpl>()) {}
TFreeTypeTextRenderer::~TFreeTypeTextRenderer() = default;

TTextSize TFreeTypeTextRenderer::TextExtent(const TTextFont& font, std::string_view text) {
  TSizedFace* sized = FImpl->Sized(font);
  if (!sized) return {};
  const int64_t width = Layout(*sized, text, [](uint8_t, const TGlyphMetrics&, int64_t) {});
  return {static_cast<int32_t>(std::clamp<int64_t>(width, 0, std::numeric_limits<int32_t>::max())),
          sized->Ascent() + sized->Descent()};
}

void TFreeTypeTextRenderer::TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
                                    std::string_view text) {
  if (target.PixelFormat() != TPixelFormat::pf24bit || target.Empty() || text.empty()) return;
  TSizedFace* sized = FImpl->Sized(font);
  if (!sized) return;
  const TColor rgb = ColorToRGB(font.Color);
  const uint8_t b = GetBValue(rgb), g = GetGValue(rgb), r = GetRValue(rgb);
  const int64_t baseline = int64_t{y} + sized->Ascent();
  const int64_t width = target.Width(), height = target.Height();
  Layout(*sized, text, [&](uint8_t ansi, const TGlyphMetrics& metrics, int64_t pen) {
    const int64_t origin = x + pen;
    // Glyphs wholly outside the bitmap are never rendered.
    if (origin + metrics.InkRight <= 0 || origin + metrics.InkLeft >= width ||
        baseline + metrics.InkBottom <= 0 || baseline + metrics.InkTop >= height) {
      return;
    }
    const TGlyphImage& image = sized->Image(ansi);
    BlendGlyph(target, image, origin + image.Left, baseline - image.Top, b, g, r);
  });
}

std::string TFreeTypeTextRenderer::FaceFile(const std::string& name) {
  return FImpl->Library ? FImpl->Named(name).Path : std::string();
}

}  // namespace tovrin
