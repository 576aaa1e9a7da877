// TFontMatcher: finds the font file for a face name through fontconfig.
//
// fontconfig always answers with some font, the closest it has. A caption asks for one face by
// name, as the system's logical fonts do, so a match counts only when one of the matched font's
// family names is the name asked for (compared without regard to case); anything else gets the
// default face, DejaVu Sans. Not thread-safe: one matcher serves one renderer.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tovrin {

struct TFontFile {
  std::string Path;
  int64_t Index = 0;  // the face's index in the file, as FreeType takes it
  friend auto operator<=>(const TFontFile&, const TFontFile&) = default;
};

class TFontMatcher {
 public:
  static constexpr const char* DefaultFace = "DejaVu Sans";

  TFontMatcher();
  ~TFontMatcher();
  TFontMatcher(const TFontMatcher&) = delete;
  TFontMatcher& operator=(const TFontMatcher&) = delete;

  // The file of the face named name (Windows-1252 bytes), or nothing when the system has no face
  // of that family.
  std::optional<TFontFile> Match(const std::string& name);
  // The file of the default face; when even that is missing, whatever fontconfig offers in its
  // place; nothing only when the system has no fonts at all.
  std::optional<TFontFile> Default();
  // The first family name of every font the system has, sorted, each once (UTF-8): the names
  // Match finds.
  std::vector<std::string> Families();

 private:
  struct TConfig;
  std::unique_ptr<TConfig> FConfig;  // loaded on first use: loading the font list takes a while
};

}  // namespace tovrin
