#include "style_strip.h"

#include <algorithm>

#include "gfx/draw.h"
#include "tools/render/render_frame.h"

namespace tovrin {

TBitmap ComposeStyleStrip(const TBitmap& oldPic, const TBitmap& newPic, int32_t style,
                          int32_t frames) {
  const int32_t w = oldPic.Width();
  const int32_t h = oldPic.Height();
  TBitmap strip(w * frames, h);
  for (int32_t k = 0; k < frames; ++k) {
    TFrameRequest request;
    request.Style = style;
    request.Progress =
        frames == 1 ? 100 : static_cast<int>((k * 100 + (frames - 1) / 2) / (frames - 1));
    // The random styles draw the same pattern in every strip of the gallery.
    request.Seed = 1;
    Draw(strip, k * w, 0, RenderFrame(oldPic, newPic, request));
  }
  return strip;
}

TBitmap PlainPicture(int32_t width, int32_t height, bool second) {
  const TColor ground = second ? RGB(240, 170, 90) : RGB(30, 50, 110);
  const TColor band = second ? RGB(30, 50, 110) : RGB(240, 170, 90);
  TBitmap picture(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      // A band a fifth of the width wide, from the top left to the bottom right.
      const int64_t d = int64_t{x} * height - int64_t{y} * width;
      const bool inBand = std::abs(d) < int64_t{width} * height / 10;
      picture.SetPixel(x, y, inBand ? band : ground);
    }
  }
  return picture;
}

}  // namespace tovrin
