#include "picshow/pixel_styles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace tovrin {

namespace {

bool BothTrueColour(const TBitmap& a, const TBitmap& b) {
  return a.PixelFormat() == TPixelFormat::pf24bit && b.PixelFormat() == TPixelFormat::pf24bit;
}

// Rounds to the nearest integer, halves to even, as nearbyint does in the default rounding mode,
// without a library call per pixel. Adding 1.5 * 2^52 moves any |v| < 2^51 into the range where a
// double's last bit is worth 1, so the addition itself rounds v to an integer (to even on a tie),
// and the low 52 bits of the sum then hold 2^51 + that integer. The rotation's values stay below
// 2^34 in magnitude (differences of 32-bit coordinates, times a sine or cosine, summed).
inline int64_t RoundHalfEven(double v) {
  const double shifted = v + 6755399441055744.0;  // 1.5 * 2^52
  uint64_t bits;
  std::memcpy(&bits, &shifted, sizeof bits);
  return static_cast<int64_t>(bits & ((uint64_t{1} << 52) - 1)) - (int64_t{1} << 51);
}

// Both products fit in 16 bits (at most 255 * 100), so the block loop runs on 16-bit lanes.
inline uint8_t BlendByte(uint8_t m, uint8_t q, uint16_t keep, uint16_t take) {
  return static_cast<uint8_t>(Div100(static_cast<uint16_t>(m * keep)) +
                              Div100(static_cast<uint16_t>(q * take)));
}

// Blocks of 16 bytes with no possible overlap between the rows let the compiler turn the block
// into vector instructions even at its cheapest vectorising setting; the tail is done byte by byte.
void BlendRow(uint8_t* __restrict t, const uint8_t* __restrict q, size_t bytes, uint16_t keep,
              uint16_t take) {
  size_t i = 0;
  for (; i + 16 <= bytes; i += 16) {
    for (size_t k = 0; k < 16; ++k) t[i + k] = BlendByte(t[i + k], q[i + k], keep, take);
  }
  for (; i < bytes; ++i) t[i] = BlendByte(t[i], q[i], keep, take);
}

}  // namespace

void BlendFrame(TBitmap& target, const TBitmap& picture, int32_t p) {
  if (!BothTrueColour(target, picture)) return;
  if (&target == &picture) {
    // The row loop assumes two distinct rows; blending a picture with itself needs a copy.
    const TBitmap copy = picture;
    BlendFrame(target, copy, p);
    return;
  }
  p = std::clamp(p, 0, 100);
  const int32_t width = std::min(target.Width(), picture.Width());
  const int32_t height = std::min(target.Height(), picture.Height());
  const size_t bytes = static_cast<size_t>(std::max(width, 0)) * 3;
  const uint16_t keep = static_cast<uint16_t>(100 - p);
  const uint16_t take = static_cast<uint16_t>(p);
  for (int32_t y = 0; y < height; ++y) {
    BlendRow(target.ScanLine(y), picture.ScanLine(y), bytes, keep, take);
  }
}

void RotateFrame(TBitmap& target, const TBitmap& picture, int32_t cx, int32_t cy, double theta) {
  if (!BothTrueColour(target, picture)) return;
  if (&target == &picture) {
    // Turning a picture within itself would read pixels already overwritten.
    const TBitmap copy = picture;
    RotateFrame(target, copy, cx, cy, theta);
    return;
  }
  const int32_t width = std::min(target.Width(), picture.Width());
  const int32_t height = std::min(target.Height(), picture.Height());
  if (width <= 0 || height <= 0) return;
  const double sinT = std::sin(theta);
  const double cosT = std::cos(theta);
  // dx * cos and dx * sin are the same for every row: computed once per column. Each product is
  // the one a per-pixel evaluation would form, so the results are unchanged.
  std::vector<double> dxCos(static_cast<size_t>(width));
  std::vector<double> dxSin(static_cast<size_t>(width));
  for (int32_t x = 0; x < width; ++x) {
    const double dx = static_cast<double>(int64_t{x} - cx);
    dxCos[static_cast<size_t>(x)] = dx * cosT;
    dxSin[static_cast<size_t>(x)] = dx * sinT;
  }
  for (int32_t y = 0; y < height; ++y) {
    const double dy = static_cast<double>(int64_t{y} - cy);
    const double dySin = dy * sinT;
    const double dyCos = dy * cosT;
    uint8_t* row = target.ScanLine(y);
    for (int32_t x = 0; x < width; ++x) {
      const int64_t u = RoundHalfEven(dxCos[static_cast<size_t>(x)] - dySin) + cx;
      const int64_t v = RoundHalfEven(dxSin[static_cast<size_t>(x)] + dyCos) + cy;
      if (u < 0 || u >= width || v < 0 || v >= height) continue;
      const uint8_t* from = picture.ScanLine(static_cast<int32_t>(v)) + 3 * static_cast<size_t>(u);
      std::memcpy(row + 3 * static_cast<size_t>(x), from, 3);
    }
  }
}

double SwingInAngle(int32_t p) {
  const long double turn = static_cast<long double>(100 - p) * std::numbers::pi_v<long double>;
  return static_cast<double>(turn / 200.0L);
}

void ComposePixelStyle(int style, TBitmap& media, const TBitmap& newPic, const TFrameExtents& e) {
  switch (style) {
    case 118:
      BlendFrame(media, newPic, e.Progress);
      break;
    // Pivots one pixel outside the top-left, bottom-left, top-right and bottom-right corners.
    case 119:
      RotateFrame(media, newPic, -1, -1, SwingInAngle(e.Progress));
      break;
    case 120:
      RotateFrame(media, newPic, -1, e.H, SwingInAngle(e.Progress));
      break;
    case 121:
      RotateFrame(media, newPic, e.W, -1, SwingInAngle(e.Progress));
      break;
    case 122:
      RotateFrame(media, newPic, e.W, e.H, SwingInAngle(e.Progress));
      break;
    default:
      break;
  }
}

}  // namespace tovrin
