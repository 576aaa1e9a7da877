#include "value_parsers.h"

#include <string>

#include "core/conversions.h"
#include "core/errors.h"

namespace tovrin {

namespace {

std::string Range(int32_t low, int32_t high) {
  return std::to_string(low) + " to " + std::to_string(high);
}

// A side of a size, or a whole number: the text must be nothing but the number.
std::optional<int32_t> InRange(std::string_view text, int32_t low, int32_t high) {
  const auto value = TryStrToInt(text);
  if (!value || *value < low || *value > high) return std::nullopt;
  return value;
}

}  // namespace

void RefuseValue(std::string_view what, std::string_view text, std::string_view expected,
                 TValueWording wording) {
  const std::string w(what), t(text), e(expected);
  if (wording == TValueWording::vwIsNot) throw EConvertError(w + ": \"" + t + "\" is not " + e);
  throw EConvertError(w + " takes " + e + ", not '" + t + "'");
}

std::optional<int32_t> TryParseRangedInteger(std::string_view text, int32_t low, int32_t high) {
  return InRange(Trim(text), low, high);
}

int32_t ParseRangedInteger(std::string_view what, std::string_view text, int32_t low, int32_t high,
                           TValueWording wording) {
  const auto value = TryParseRangedInteger(text, low, high);
  if (!value) RefuseValue(what, text, "a whole number from " + Range(low, high), wording);
  return *value;
}

TSizeValue ParseSizeValue(std::string_view what, std::string_view text, int32_t low, int32_t high,
                          TValueWording wording) {
  const std::string t = Trim(text);
  const size_t x = t.find_first_of("xX*");
  if (x != std::string::npos) {
    const auto width = InRange(std::string_view(t).substr(0, x), low, high);
    const auto height = InRange(std::string_view(t).substr(x + 1), low, high);
    if (width && height) return {*width, *height};
  }
  RefuseValue(what, text,
              wording == TValueWording::vwIsNot
                  ? "a size such as 1920x1080 (each side " + Range(low, high) + ")"
                  : "WIDTHxHEIGHT, each " + Range(low, high),
              wording);
}

}  // namespace tovrin
