#include "gfx/blurred_backdrop.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "gfx/stretch.h"

namespace tovrin {

namespace {

// The reduced copy is this many times smaller than the frame on each side.
constexpr int32_t kReduction = 8;

// One running-mean pass over n pixels of 3 channels, read from src with stride step (in bytes)
// and written to out (packed, 3 bytes a pixel). Pixels beyond either end repeat the end pixel.
void BlurLine(const uint8_t* src, size_t step, int32_t n, int32_t radius, uint8_t* out) {
  const int32_t window = 2 * radius + 1;
  for (int c = 0; c < 3; ++c) {
    const auto at = [&](int32_t i) {
      return src[static_cast<size_t>(std::clamp(i, 0, n - 1)) * step + c];
    };
    int32_t sum = 0;
    for (int32_t i = -radius; i <= radius; ++i) sum += at(i);
    for (int32_t i = 0; i < n; ++i) {
      // Rounded mean of the window centred on i.
      out[static_cast<size_t>(i) * 3 + c] = static_cast<uint8_t>((sum + window / 2) / window);
      sum += at(i + radius + 1) - at(i - radius);
    }
  }
}

}  // namespace

void BoxBlur(TBitmap& bitmap, int32_t radius, int passes) {
  if (bitmap.Empty() || radius <= 0 || bitmap.PixelFormat() != TPixelFormat::pf24bit) return;
  const int32_t w = bitmap.Width();
  const int32_t h = bitmap.Height();
  std::vector<uint8_t> line(static_cast<size_t>(std::max(w, h)) * 3);
  for (int p = 0; p < passes; ++p) {
    for (int32_t y = 0; y < h; ++y) {
      uint8_t* row = bitmap.ScanLine(y);
      BlurLine(row, 3, w, radius, line.data());
      std::copy_n(line.data(), static_cast<size_t>(w) * 3, row);
    }
  }
  const size_t stride = bitmap.Stride();
  for (int p = 0; p < passes; ++p) {
    for (int32_t x = 0; x < w; ++x) {
      uint8_t* column = bitmap.ScanLine(0) + static_cast<size_t>(x) * 3;
      BlurLine(column, stride, h, radius, line.data());
      for (int32_t y = 0; y < h; ++y) {
        std::copy_n(line.data() + static_cast<size_t>(y) * 3, 3,
                    column + static_cast<size_t>(y) * stride);
      }
    }
  }
}

void DrawBlurredBackdrop(TBitmap& dest, const TBitmap& picture) {
  if (dest.Empty() || picture.Empty()) return;
  const int32_t w = (dest.Width() + kReduction - 1) / kReduction;
  const int32_t h = (dest.Height() + kReduction - 1) / kReduction;
  TBitmap reduced(w, h);
  // The picture scaled to cover the reduced copy: the larger of the two scale factors, compared
  // without division (pw * h against ph * w).
  const int64_t pw = picture.Width();
  const int64_t ph = picture.Height();
  int64_t coverW = w;
  int64_t coverH = h;
  if (pw * h > ph * w) {
    coverW = (pw * h + ph - 1) / ph;
  } else {
    coverH = (ph * w + pw - 1) / pw;
  }
  const int32_t left = static_cast<int32_t>((w - coverW) / 2);
  const int32_t top = static_cast<int32_t>((h - coverH) / 2);
  StretchDrawGraphic(
      reduced,
      TRect{left, top, left + static_cast<int32_t>(coverW), top + static_cast<int32_t>(coverH)},
      picture);
  // A radius of a tenth of the copy's longer side blurs away all detail, stripes a tenth of the
  // screen wide included, yet keeps the picture's broad colours where they were.
  BoxBlur(reduced, std::max(1, std::max(w, h) / 10), 3);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = reduced.ScanLine(y);
    for (int32_t i = 0; i < w * 3; ++i) {
      row[i] = static_cast<uint8_t>((row[i] * kBackdropBrightness + 128) >> 8);
    }
  }
  StretchDrawGraphic(dest, dest.BoundsRect(), reduced);
}

}  // namespace tovrin
