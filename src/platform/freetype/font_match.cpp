#include "platform/freetype/font_match.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>

#include "core/ansi_text.h"

namespace tovrin {

namespace {

struct TConfigDeleter {
  void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct TPatternDeleter {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using TPattern = std::unique_ptr<FcPattern, TPatternDeleter>;

bool HasFamily(const FcPattern* font, const std::string& family) {
  FcChar8* name = nullptr;
  for (int n = 0; FcPatternGetString(font, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
    if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

struct TFontMatcher::TConfig {
  std::unique_ptr<FcConfig, TConfigDeleter> Config{FcInitLoadConfigAndFonts()};

  // fontconfig's best font for family, and whether it is of that family.
  std::optional<TFontFile> Best(const std::string& family, bool requireFamily) {
    if (!Config) return std::nullopt;
    TPattern pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    // Text with a NUL byte reaches fontconfig cut short there, and is then no family's name.
    if (family.find('\0') != std::string::npos && requireFamily) return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcConfigSubstitute(Config.get(), pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    TPattern font(FcFontMatch(Config.get(), pattern.get(), &result));
    if (!font || result != FcResultMatch) return std::nullopt;
    if (requireFamily && !HasFamily(font.get(), family)) return std::nullopt;
    FcChar8* file = nullptr;
    if (FcPatternGetString(font.get(), FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    int index = 0;
    FcPatternGetInteger(font.get(), FC_INDEX, 0, &index);
    return TFontFile{reinterpret_cast<const char*>(file), index};
  }
};

TFontMatcher::TFontMatcher() = default;
TFontMatcher::~TFontMatcher() = default;

std::optional<TFontFile> TFontMatcher::Match(const std::string& name) {
  if (!FConfig) FConfig = std::make_unique<TConfig>();
  // fontconfig takes names in UTF-8; the package holds them in Windows-1252.
  return FConfig->Best(AnsiToUtf8(name), true);
}

std::optional<TFontFile> TFontMatcher::Default() {
  if (!FConfig) FConfig = std::make_unique<TConfig>();
  if (auto file = FConfig->Best(DefaultFace, true)) return file;
  return FConfig->Best(DefaultFace, false);
}

std::vector<std::string> TFontMatcher::Families() {
  if (!FConfig) FConfig = std::make_unique<TConfig>();
  std::vector<std::string> families;
  if (!FConfig->Config) return families;
  TPattern pattern(FcPatternCreate());
  struct TObjectSetDeleter {
    void operator()(FcObjectSet* set) const { FcObjectSetDestroy(set); }
  };
  struct TFontSetDeleter {
    void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
  };
  std::unique_ptr<FcObjectSet, TObjectSetDeleter> wanted(FcObjectSetBuild(FC_FAMILY, nullptr));
  if (!pattern || !wanted) return families;
  std::unique_ptr<FcFontSet, TFontSetDeleter> fonts(
      FcFontList(FConfig->Config.get(), pattern.get(), wanted.get()));
  if (!fonts) return families;
  for (int i = 0; i < fonts->nfont; ++i) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &name) == FcResultMatch) {
      families.emplace_back(reinterpret_cast<const char*>(name));
    }
  }
  std::sort(families.begin(), families.end());
  families.erase(std::unique(families.begin(), families.end()), families.end());
  return families;
}

}  // namespace tovrin
