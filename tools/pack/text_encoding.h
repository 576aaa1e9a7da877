// Conversions between the settings' single-byte text (the Windows-1252 ANSI code page) and UTF-8.
//
// Text in a package is stored as Windows-1252 bytes. The tool shows it as UTF-8 (terminal output,
// JSON) and stores what the user typed, which arrives as UTF-8, back as Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace tovrin {

// Every byte is a character of Windows-1252; the five positions that code page leaves undefined
// (81, 8D, 8F, 90, 9D hex) become the C1 control characters of the same number, as the system's
// own conversion does. Never fails.
std::string Cp1252ToUtf8(std::string_view ansi);

// Converts UTF-8 text to Windows-1252. Raises EConvertError naming the text when it is not valid
// UTF-8 or holds a character that Windows-1252 cannot represent.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace tovrin
