// The box that --fit WxH names, and the size a picture takes inside it.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovrin {

struct TFitBox {
  int32_t Width = 0;  // 0 x 0: no box, pictures keep their size
  int32_t Height = 0;
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

struct TPictureSize {
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const TPictureSize&, const TPictureSize&) = default;
};

// "WxH" (also "W*H" or "WXH"), each side 1 to 65500. Raises EConvertError naming `what`.
TFitBox ParseFitBox(std::string_view what, std::string_view text);

// The size of a width x height picture fitted into the box with its proportions kept (the
// shorter side rounded, at least 1). A picture already inside the box keeps its size: it is
// never enlarged. An empty box keeps every size.
TPictureSize FittedSize(int32_t width, int32_t height, const TFitBox& box);

}  // namespace tovrin
