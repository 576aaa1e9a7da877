// Small helpers for the tool's messages.
#pragma once

#include <string>
#include <string_view>

namespace tovrin {

// "1 picture", "3 pictures", "0 movies".
inline std::string CountOf(size_t count, std::string_view noun) {
  return std::to_string(count) + " " + std::string(noun) + (count == 1 ? "" : "s");
}

}  // namespace tovrin
