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

std::vector<TMonitorValue> ParseMonitorList(std::string_view what, std::string_view text, int32_t low,
                                    int32_t high, TValueWording wording) {
  const auto refuse = [&] {
    RefuseValue(what, text,
                wording == TValueWording::vwIsNot
                    ? "monitors such as 1920x1080,1280x1024+1920+0 (each side " +
                          Range(low, high) + ", none overlapping)"
                    : "WxH[+X+Y],... (each side " + Range(low, high) + ", none overlapping)",
                wording);
  };
  const std::string t = Trim(text);
  std::vector<TMonitorValue> monitors;
  size_t start = 0;
  while (start <= t.size()) {
    size_t end = t.find(',', start);
    if (end == std::string::npos) end = t.size();
    const std::string_view item = std::string_view(t).substr(start, end - start);
    start = end + 1;
    // The size runs up to the first sign after it; the place is two signed numbers.
    const size_t sign = item.find_first_of("+-");
    const size_t x = item.find_first_of("xX*");
    if (x == std::string_view::npos || (sign != std::string_view::npos && sign < x)) refuse();
    const auto width = InRange(item.substr(0, x), low, high);
    const auto height = InRange(item.substr(x + 1, sign == std::string_view::npos
                                                       ? std::string_view::npos
                                                       : sign - x - 1),
                                low, high);
    if (!width || !height) refuse();
    int32_t left = 0;
    int32_t top = 0;
    if (sign != std::string_view::npos) {
      const size_t second = item.find_first_of("+-", sign + 1);
      if (second == std::string_view::npos) refuse();
      const auto l = InRange(item.substr(sign, second - sign), -high, high);
      const auto tp = InRange(item.substr(second), -high, high);
      if (!l || !tp) refuse();
      left = *l;
      top = *tp;
    } else if (!monitors.empty()) {
      left = monitors.back().Left + monitors.back().Width;
      top = monitors.back().Top;
    }
    const TMonitorValue placed{left, top, *width, *height};
    for (const TMonitorValue& o : monitors) {
      const bool apart = placed.Left >= o.Left + o.Width || o.Left >= placed.Left + placed.Width ||
                         placed.Top >= o.Top + o.Height || o.Top >= placed.Top + placed.Height;
      if (!apart) refuse();
    }
    monitors.push_back(placed);
  }
  return monitors;
}

}  // namespace tovrin
