#include "fit_box.h"

#include <algorithm>
#include <string>

#include "core/conversions.h"
#include "core/errors.h"
#include "gfx/muldiv.h"

namespace tovrin {

namespace {
// A JPEG side holds at most 65535 pixels; the box stays a little below it.
constexpr int32_t kMaxSide = 65500;
}  // namespace

TFitBox ParseFitBox(std::string_view what, std::string_view text) {
  const std::string t = Trim(text);
  const size_t x = t.find_first_of("xX*");
  const auto side = [&](std::string_view digits) {
    const auto value = TryStrToInt(digits);
    if (!value || *value < 1 || *value > kMaxSide) {
      throw EConvertError(std::string(what) + ": \"" + std::string(text) +
                          "\" is not a size such as 1920x1080 (each side 1 to " +
                          std::to_string(kMaxSide) + ")");
    }
    return *value;
  };
  if (x == std::string::npos) side("");
  return {side(std::string_view(t).substr(0, x)), side(std::string_view(t).substr(x + 1))};
}

TPictureSize FittedSize(int32_t width, int32_t height, const TFitBox& box) {
  if (box.Empty() || width <= 0 || height <= 0 || (width <= box.Width && height <= box.Height)) {
    return {width, height};
  }
  // Relatively wider than the box (width / height > box width / box height, compared exactly):
  // the width fills the box; otherwise the height does.
  if (int64_t{width} * box.Height > int64_t{height} * box.Width) {
    return {box.Width, std::max(1, MulDiv(height, box.Width, width))};
  }
  return {std::max(1, MulDiv(width, box.Height, height)), box.Height};
}

}  // namespace tovrin
