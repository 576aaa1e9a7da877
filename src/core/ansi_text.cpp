#include "core/ansi_text.h"

#include <array>

#include "core/errors.h"

namespace tovrin {

namespace {

// Code points of the bytes 80 to 9F in Windows-1252; 0 where the code page leaves a byte
// undefined (those bytes map to the code point of the same number).
constexpr std::array<uint16_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

TUtf8Sequence ReadUtf8Sequence(std::string_view s, size_t at) {
  TUtf8Sequence seq;
  const auto lead = static_cast<uint8_t>(s[at]);
  size_t extra = 0;
  uint32_t minimum = 0;
  if (lead < 0x80) {
    seq.CodePoint = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    seq.CodePoint = lead & 0x1F, extra = 1, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    seq.CodePoint = lead & 0x0F, extra = 2, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    seq.CodePoint = lead & 0x07, extra = 3, minimum = 0x10000;
  } else {
    return seq;
  }
  for (size_t k = 1; k <= extra; ++k) {
    if (at + k >= s.size() || (static_cast<uint8_t>(s[at + k]) & 0xC0) != 0x80) {
      seq.Length = k;
      return seq;
    }
    seq.CodePoint = (seq.CodePoint << 6) | (static_cast<uint8_t>(s[at + k]) & 0x3F);
  }
  seq.Length = extra + 1;
  seq.Valid = seq.CodePoint >= minimum;
  return seq;
}

uint32_t AnsiToCodePoint(uint8_t byte) {
  if (byte < 0x80 || byte >= 0xA0) return byte;
  const uint16_t mapped = HighControls[byte - 0x80];
  return mapped != 0 ? mapped : byte;
}

std::optional<char> TryCodePointToAnsi(uint32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (uint32_t byte = 0x80; byte < 0xA0; ++byte) {
    if (AnsiToCodePoint(static_cast<uint8_t>(byte)) == cp) return static_cast<char>(byte);
  }
  return std::nullopt;
}

char CodePointToAnsi(uint32_t cp) {
  return TryCodePointToAnsi(cp).value_or('?');
}

std::string WideBytesToAnsi(const uint8_t* bytes, size_t unitCount) {
  std::string out;
  out.reserve(unitCount);
  for (size_t i = 0; i < unitCount; ++i) {
    const uint32_t unit = bytes[2 * i] | (static_cast<uint32_t>(bytes[2 * i + 1]) << 8);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < unitCount) {
      const uint32_t next = bytes[2 * i + 2] | (static_cast<uint32_t>(bytes[2 * i + 3]) << 8);
      if (next >= 0xDC00 && next <= 0xDFFF) ++i;  // a pair: one character outside the code page
      out.push_back('?');
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      out.push_back('?');
    } else {
      out.push_back(CodePointToAnsi(unit));
    }
  }
  return out;
}

std::string Utf8ToAnsi(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const TUtf8Sequence seq = ReadUtf8Sequence(s, i);
    // Surrogates and code points past U+10FFFF have no byte in the code page either.
    out.push_back(seq.Valid ? CodePointToAnsi(seq.CodePoint) : '?');
    i += seq.Length;
  }
  return out;
}

std::string Utf8ToAnsiStrict(std::string_view utf8) {
  const auto refuse = [utf8](const char* why) {
    return EConvertError("text \"" + std::string(utf8) + "\" " + why);
  };
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const TUtf8Sequence seq = ReadUtf8Sequence(utf8, i);
    if (!seq.Valid) throw refuse("is not valid UTF-8");
    const std::optional<char> byte = TryCodePointToAnsi(seq.CodePoint);
    if (!byte) throw refuse("holds a character that Windows-1252 cannot store");
    out += *byte;
    i += seq.Length;
  }
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (const char c : ansi) {
    // Every code point of the code page lies below U+10000.
    const uint32_t cp = AnsiToCodePoint(static_cast<uint8_t>(c));
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace tovrin
