#include "platform/movie_player.h"

#include <cctype>

namespace tovrin {

bool IsOldControlMovie(const std::string& fileName) {
  static constexpr char kExtension[] = ".swf";
  constexpr size_t length = sizeof(kExtension) - 1;
  if (fileName.size() < length) return false;
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(fileName[fileName.size() - length + i]);
    if (std::tolower(c) != kExtension[i]) return false;
  }
  return true;
}

}  // namespace tovrin
