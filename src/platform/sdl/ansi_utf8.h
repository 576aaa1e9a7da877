// The package's texts (Windows-1252) as the desktop's toolkits take them (UTF-8).
#pragma once

#include <string>

namespace tovrin {

// Windows-1252 text as UTF-8; the five bytes the code page leaves undefined keep their number.
std::string AnsiToUtf8(const std::string& ansi);

}  // namespace tovrin
