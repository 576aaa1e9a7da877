// Pixel styles: cross-fade (118) and swing-in (119 to 122) write the frame's pixels themselves.
//
// Both work on 24-bit bitmaps of one size: the target holds the outgoing picture when they start
// (every frame is composed afresh from it) and receives the mix. Bitmaps that are not both 24-bit
// are left alone; when the sizes differ only their common top-left part is composed, so no pixel
// outside either bitmap is ever read or written.
#pragma once

#include <cstdint>

#include "gfx/bitmap.h"
#include "picshow/styles/frame_extents.h"

namespace tovrin {

constexpr bool IsPixelStyle(int style) {
  return style >= 118 && style <= 122;
}

constexpr int CrossFadeStyle = 118;

// v / 100 for every v from 0 to 25500 (the largest product of a byte and a percentage), by a
// multiply and shifts that vectorise, where a division would not: the high half of the 16 x 16-bit
// product v * 20972 (one instruction on 16-bit lanes), shifted right by 5, is v * 20972 / 2^21.
constexpr uint16_t Div100(uint16_t v) {
  return static_cast<uint16_t>(static_cast<uint16_t>((uint32_t{v} * 20972u) >> 16) >> 5);
}

// A byte's share of a weight w from 1 to 99 by one multiply that keeps the high half of a 16 x
// 16-bit product: for every byte m, (m * ShareFactor(w)) >> 16 == (m * w) / 100. The factor is
// w * 2^16 / 100 rounded up, too large by less than 1, so m * factor / 2^16 exceeds m * w / 100 by
// less than 255 / 2^16 < 1 / 100, while the fraction of m * w / 100 is at most 99 / 100: the sum
// never reaches the next integer. (At w = 100 the factor would need 17 bits.)
constexpr uint16_t ShareFactor(uint16_t w) {
  return static_cast<uint16_t>((uint32_t{w} * 65536u + 99u) / 100u);
}

// Cross-fade: each byte m of target and the matching byte q of picture give
// ((100 - p) * m) / 100 + (q * p) / 100, both quotients truncated on their own, so the result
// never exceeds 255 and may fall one below the exact blend. p is clamped to 0..100.
void BlendFrame(TBitmap& target, const TBitmap& picture, int32_t p);
// The same with the bytes m taken from `from` instead of target, which only receives the result
// (target may be from itself).
void BlendFrame(TBitmap& target, const TBitmap& from, const TBitmap& picture, int32_t p);

// Swing-in: target pixel (x, y) receives picture pixel (u, v), (x, y) turned through theta radians
// about (cx, cy) with both coordinates rounded to the nearest integer, halves to even; where (u, v)
// falls outside the picture the target keeps its pixel.
void RotateFrame(TBitmap& target, const TBitmap& picture, int32_t cx, int32_t cy, double theta);

// The swing-in angle at progress p: a quarter turn at 0, none at 100, computed in extended
// precision and rounded to double once.
double SwingInAngle(int32_t p);

// Composes pixel style `style` into media from newPic for the extents e; any other style number
// leaves media unchanged.
void ComposePixelStyle(int style, TBitmap& media, const TBitmap& newPic, const TFrameExtents& e);

}  // namespace tovrin
