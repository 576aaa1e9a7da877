#include "text_encoding.h"

#include <cstdint>

#include "core/ansi_text.h"
#include "core/errors.h"

namespace tovrin {

namespace {

[[noreturn]] void Refuse(std::string_view utf8, const char* why) {
  throw EConvertError("text \"" + std::string(utf8) + "\" " + why);
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view ansi) {
  return AnsiToUtf8(ansi);
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<uint8_t>(utf8[i]);
    char32_t cp = 0;
    size_t extra = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F, extra = 1, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F, extra = 2, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07, extra = 3, minimum = 0x10000;
    } else {
      Refuse(utf8, "is not valid UTF-8");
    }
    if (utf8.size() - i <= extra) Refuse(utf8, "is not valid UTF-8");
    for (size_t k = 1; k <= extra; ++k) {
      const auto b = static_cast<uint8_t>(utf8[i + k]);
      if ((b & 0xC0) != 0x80) Refuse(utf8, "is not valid UTF-8");
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum) Refuse(utf8, "is not valid UTF-8");  // overlong form
    i += extra + 1;

    const std::optional<char> byte = TryCodePointToAnsi(cp);
    if (!byte) Refuse(utf8, "holds a character that Windows-1252 cannot store");
    out += *byte;
  }
  return out;
}

}  // namespace tovrin
