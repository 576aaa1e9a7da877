// Conversion between the ANSI code page (Windows-1252), in which the package's strings are held,
// and wide or UTF-8 text. A character the code page cannot show becomes "?", as does each malformed
// UTF-8 sequence and each unpaired surrogate (Utf8ToAnsiStrict refuses such text instead).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

// One UTF-8 sequence from text[at]: its code point and its length in bytes. Not valid: a byte that
// cannot start a sequence (length 1), a sequence cut short by the end of the text or by a byte
// that does not continue it (the length stops before that byte, where reading resumes), and an
// overlong form. Surrogates and values past U+10FFFF are decoded as they stand.
struct TUtf8Sequence {
  uint32_t CodePoint = 0;
  size_t Length = 1;
  bool Valid = false;
};
TUtf8Sequence ReadUtf8Sequence(std::string_view text, size_t at);

// Units are UTF-16 code units, little-endian byte pairs in bytes.
std::string WideBytesToAnsi(const uint8_t* bytes, size_t unitCount);
std::string Utf8ToAnsi(std::string_view utf8);

// UTF-8 text (what a user typed) to Windows-1252 without replacing anything. Raises
// EConvertError naming the text when it is not valid UTF-8 or holds a character that Windows-1252
// cannot store.
std::string Utf8ToAnsiStrict(std::string_view utf8);
// The Windows-1252 byte for a code point, or '?' when it has none.
char CodePointToAnsi(uint32_t codePoint);

// The same, or nothing when the code page has no byte for the code point.
std::optional<char> TryCodePointToAnsi(uint32_t codePoint);

// The code point of a Windows-1252 byte; the bytes the code page leaves undefined (81, 8D, 8F,
// 90, 9D hex) map to the code point of the same number.
uint32_t AnsiToCodePoint(uint8_t byte);

// Windows-1252 text as UTF-8 (for toolkits, terminals, font names); the five undefined bytes
// become the C1 control characters of the same number. Never fails.
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace tovrin
