// Conversion of wide and UTF-8 text to the ANSI code page (Windows-1252) in which the package's
// strings are held. A character the code page cannot show becomes "?", as does each malformed
// UTF-8 sequence and each unpaired surrogate.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovrin {

// Units are UTF-16 code units, little-endian byte pairs in bytes.
std::string WideBytesToAnsi(const uint8_t* bytes, size_t unitCount);
std::string Utf8ToAnsi(std::string_view utf8);
// The Windows-1252 byte for a code point, or '?' when it has none.
char CodePointToAnsi(uint32_t codePoint);

}  // namespace tovrin
