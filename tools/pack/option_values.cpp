#include "option_values.h"

#include "core/conversions.h"
#include "core/errors.h"
#include "gfx/muldiv.h"
#include "package/font.h"
#include "package/ident_maps.h"

namespace tovrin {

namespace {

[[noreturn]] void Bad(std::string_view what, std::string_view text, std::string_view expected) {
  RefuseValue(what, text, expected, PackWording);
}

// Splits at commas and blanks, dropping empty pieces.
std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : text) {
    if (c == ',' || static_cast<unsigned char>(c) <= ' ') {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

// Looks a name up in an enumeration or set type, with or without its two-letter prefix
// ("bold" and "fsBold" both name fsBold).
std::optional<int32_t> LookupElement(const TTypeInfo& type, std::string_view name,
                                     std::string_view prefix) {
  for (const TIdentEntry& e : type.Idents) {
    if (SameText(e.Name, name)) return e.Value;
    if (e.Name.size() > prefix.size() && SameText(e.Name.substr(0, prefix.size()), prefix) &&
        SameText(e.Name.substr(prefix.size()), name)) {
      return e.Value;
    }
  }
  return std::nullopt;
}

}  // namespace

bool ParseBoolean(std::string_view what, std::string_view text) {
  const std::string t = Trim(text);
  for (const char* yes : {"1", "true", "yes", "on"}) {
    if (SameText(t, yes)) return true;
  }
  for (const char* no : {"0", "false", "no", "off"}) {
    if (SameText(t, no)) return false;
  }
  Bad(what, text, "a yes/no value (1, 0, true, false, yes, no, on, off)");
}

int32_t ParseColor(std::string_view what, std::string_view text) {
  const std::string t = Trim(text);
  if (const auto named = IdentToInt(ColorTypeInfo(), t)) return *named;
  const auto hex = [&](std::string_view digits, size_t maxDigits) -> std::optional<uint32_t> {
    if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
    uint32_t v = 0;
    for (char c : digits) {
      int d;
      if (c >= '0' && c <= '9')
        d = c - '0';
      else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
      else
        return std::nullopt;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    return v;
  };
  constexpr const char* kExpected =
      "a colour (a name such as clRed, #RRGGBB, 0xBBGGRR or a decimal number)";
  if (!t.empty() && t[0] == '#') {
    if (t.size() != 7) Bad(what, text, kExpected);
    const auto rgb = hex(std::string_view(t).substr(1), 6);
    if (!rgb) Bad(what, text, kExpected);
    const uint32_t r = (*rgb >> 16) & 0xFF, g = (*rgb >> 8) & 0xFF, b = *rgb & 0xFF;
    return static_cast<int32_t>(r | (g << 8) | (b << 16));
  }
  if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    const auto v = hex(std::string_view(t).substr(2), 8);
    if (!v) Bad(what, text, kExpected);
    return static_cast<int32_t>(*v);
  }
  if (const auto v = TryStrToInt(t)) return *v;
  Bad(what, text, kExpected);
}

int32_t ParseCharset(std::string_view what, std::string_view text) {
  const std::string t = Trim(text);
  if (const auto named = IdentToInt(CharsetTypeInfo(), t)) return *named;
  const auto v = TryParseRangedInteger(t, 0, 255);
  if (!v) Bad(what, text, "a character set name or a number from 0 to 255");
  return *v;
}

uint8_t ParseFontStyles(std::string_view what, std::string_view text) {
  uint8_t styles = 0;
  for (const std::string& part : SplitList(text)) {
    const auto bit = LookupElement(FontStyleTypeInfo(), part, "fs");
    if (!bit) Bad(what, part, "a font style (bold, italic, underline, strikeout)");
    styles = static_cast<uint8_t>(styles | (1u << *bit));
  }
  return styles;
}

uint8_t ParseFontPitch(std::string_view what, std::string_view text) {
  const auto v = LookupElement(FontPitchTypeInfo(), Trim(text), "fp");
  if (!v) Bad(what, text, "a font pitch (default, variable, fixed)");
  return static_cast<uint8_t>(*v);
}

int32_t ParsePicFill(std::string_view what, std::string_view text) {
  const std::string t = Trim(text);
  if (SameText(t, "black") || t == "0") return 0;
  if (SameText(t, "blur") || t == "1") return 1;
  Bad(what, text, "a fill (black, blur)");
}

int32_t FontHeightForPoints(int32_t points) {
  return -MulDiv(points, PackPixelsPerInch, 72);
}

std::vector<int32_t> ParseEffects(std::string_view what, std::string_view text) {
  std::vector<int32_t> effects;
  for (const std::string& part : SplitList(text)) {
    const auto v = TryParseRangedInteger(part, 0, 127);
    if (!v) Bad(what, part, "a transition style number from 0 to 127");
    effects.push_back(*v);
  }
  return effects;
}

}  // namespace tovrin
