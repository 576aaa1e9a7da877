// The values both tools read from command lines, settings files and lists that are not words:
// sizes "WxH" and whole numbers within a range. One grammar for each, whoever reads them:
//
//   whole number   optional sign, decimal digits, fitting in 32 bits: "5", "+5", "-12"
//   size           whole number, a separator x, X or *, whole number: "1920x1080", "640*480"
//   monitors       sizes separated by commas, each optionally placed at +X+Y (either sign may be
//                  - instead): "1920x1080,1280x1024+1920+0", "800x600,640x480-640+0"
//
// Spaces and control characters around the value are ignored, none inside it ("1920 x 1080" is
// refused). A value out of its range is refused like one that is no number at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tovrin {

// How a tool words a value it refuses. `what` names the option or key, the value is quoted as
// given, and `expected` says what would have been taken:
enum class TValueWording {
  vwIsNot,  // tovrin-pack:   --quality: "101" is not a whole number from 1 to 100
  vwTakes,  // tovrin-render: --step takes a whole number from 1 to 100, not '101'
};

// Raises EConvertError in the chosen wording.
[[noreturn]] void RefuseValue(std::string_view what, std::string_view text,
                              std::string_view expected, TValueWording wording);

// A whole number from low to high; nullopt for anything else.
std::optional<int32_t> TryParseRangedInteger(std::string_view text, int32_t low, int32_t high);

// A whole number from low to high. Raises EConvertError otherwise, expecting "a whole number
// from LOW to HIGH".
int32_t ParseRangedInteger(std::string_view what, std::string_view text, int32_t low, int32_t high,
                           TValueWording wording);

struct TSizeValue {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TSizeValue&, const TSizeValue&) = default;
};

// A size whose sides are each from low to high. Raises EConvertError otherwise, expecting (by
// wording) "a size such as 1920x1080 (each side LOW to HIGH)" or "WIDTHxHEIGHT, each LOW to
// HIGH".
TSizeValue ParseSizeValue(std::string_view what, std::string_view text, int32_t low, int32_t high,
                          TValueWording wording);

// A desk of monitors, the primary first. The first monitor without a place sits at 0,0; any
// other without one right of the monitor before it, top edges level. Sides are from low to high,
// places within +-high; monitors may not overlap. Raises EConvertError otherwise, expecting (by
// wording) "monitors such as 1920x1080,1280x1024+1920+0" or "WxH[+X+Y],..." with the range.
struct TMonitorValue {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TMonitorValue&, const TMonitorValue&) = default;
};

std::vector<TMonitorValue> ParseMonitorList(std::string_view what, std::string_view text, int32_t low,
                                    int32_t high, TValueWording wording);

}  // namespace tovrin
