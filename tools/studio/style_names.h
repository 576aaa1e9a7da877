// The studio's names for the 128 transition styles: what each does, in words, and its family.
#pragma once

#include <cstdint>
#include <string>

namespace tovrin {

struct TStyleName {
  std::string Name;    // "Wipe from the left"
  std::string Family;  // "wipe"
};

// The name of style 0 to 127 (an empty name for any other number).
TStyleName StyleName(int32_t style);

}  // namespace tovrin
