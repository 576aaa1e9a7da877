// The run mode chosen by the first command-line argument.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovrin {

enum TSaverMode : uint8_t {
  smChangePassword = 0,
  smPreview = 1,
  smSetup = 2,
  smShow = 3,
};

// Classifies the first argument. After upper-casing, only its first two characters count:
//   "/A", "-A", or first character "A"        -> smChangePassword
//   "/P", "-P", or first character "P"        -> smPreview
//   "/C", "-C", first character "C", or empty -> smSetup
//   anything else ("/S", "-", "/X", ...)      -> smShow
TSaverMode ClassifyMode(std::string_view argument);

// "change-password", "preview", "setup" or "show".
std::string_view SaverModeName(TSaverMode mode);

}  // namespace tovrin
