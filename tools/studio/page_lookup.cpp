#include <algorithm>
#include <cctype>
#include <string>

#include "page_files.h"

namespace tovrin {

const TPageFile* FindPageFile(std::string_view name) {
  for (const TPageFile& file : PageFiles()) {
    if (file.Name == name) return &file;
  }
  return nullptr;
}

std::string_view ContentTypeFor(std::string_view name) {
  struct TKind {
    std::string_view Extension;
    std::string_view Type;
  };
  static constexpr TKind kKinds[] = {
      {".html", "text/html; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".mjs", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".json", "application/json"},
      {".svg", "image/svg+xml"},
      {".png", "image/png"},
      {".jpg", "image/jpeg"},
      {".ico", "image/x-icon"},
      {".txt", "text/plain; charset=utf-8"},
  };
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) {
    std::string extension(name.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const TKind& kind : kKinds) {
      if (kind.Extension == extension) return kind.Type;
    }
  }
  return "application/octet-stream";
}

}  // namespace tovrin
