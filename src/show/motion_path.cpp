#include "show/motion_path.h"

#include <algorithm>

namespace tovrin {

namespace {

// a * b / c rounded to nearest, for positive values well inside 64 bits.
int64_t ScaleRounded(int64_t a, int64_t b, int64_t c) {
  return (a * b + c / 2) / c;
}

TFixedRect WholePixels(int64_t left, int64_t top, int64_t width, int64_t height) {
  return TFixedRect{left * kFixedOne, top * kFixedOne, width * kFixedOne, height * kFixedOne};
}

// v0 + (v1 - v0) * s for s in 16.16 (0 to 65536), rounded down: monotonic in s.
int64_t Lerp(int64_t v0, int64_t v1, int64_t s) {
  return v0 + (((v1 - v0) * s) >> 16);
}

}  // namespace

TMotionChoice DrawMotionChoice(TRandom& random) {
  TMotionChoice choice;
  choice.Reverse = random.Next(2) == 1;
  choice.DriftX = 200 + random.Next(601);
  choice.DriftY = 200 + random.Next(601);
  return choice;
}

TMotionSource MotionSourceFor(int32_t width, int32_t height, int32_t screenWidth,
                              int32_t screenHeight, bool stretch) {
  TMotionSource source{TRect{0, 0, width, height}, TPoint{screenWidth, screenHeight}};
  if (stretch) return source;
  const int64_t w = width;
  const int64_t h = height;
  const int64_t sw = screenWidth;
  const int64_t sh = screenHeight;
  if (sw * h >= sh * w) {
    // Relatively taller than the screen: the width covers it, the height is longer.
    const int64_t longest = std::min<int64_t>(sh * kMaxSourceScreens, kMaxSourceSide);
    int64_t scaled = std::max(sh, ScaleRounded(h, sw, w));
    if (scaled > longest) {
      // Only the middle part of the picture that scales to at most `longest` (whole rows,
      // the scaled length worked out again from them so the proportions stay).
      const int64_t part = std::max<int64_t>(1, h * longest / scaled);
      const auto top = static_cast<int32_t>((h - part) / 2);
      source.Part = TRect{0, top, width, top + static_cast<int32_t>(part)};
      scaled = std::max(sh, ScaleRounded(part, sw, w));
    }
    source.Size = TPoint{screenWidth, static_cast<int32_t>(scaled)};
  } else {
    const int64_t longest = std::min<int64_t>(sw * kMaxSourceScreens, kMaxSourceSide);
    int64_t scaled = std::max(sw, ScaleRounded(w, sh, h));
    if (scaled > longest) {
      const int64_t part = std::max<int64_t>(1, w * longest / scaled);
      const auto left = static_cast<int32_t>((w - part) / 2);
      source.Part = TRect{left, 0, left + static_cast<int32_t>(part), height};
      scaled = std::max(sw, ScaleRounded(part, sh, h));
    }
    source.Size = TPoint{static_cast<int32_t>(scaled), screenHeight};
  }
  return source;
}

TMotionKind MotionKindFor(TPoint sourceSize, TPoint screenSize) {
  // The picture's aspect over the screen's, in thousandths.
  const int64_t ratio =
      int64_t{sourceSize.X} * screenSize.Y * 1000 / (int64_t{sourceSize.Y} * screenSize.X);
  if (ratio < kPortraitBelow) return TMotionKind::mkPanVertical;
  if (ratio > kPanoramaAbove) return TMotionKind::mkPanAcross;
  return TMotionKind::mkZoom;
}

TMotionPath::TMotionPath(TPoint sourceSize, TPoint screenSize, const TMotionChoice& choice)
    : FKind(MotionKindFor(sourceSize, screenSize)) {
  const int64_t sw = screenSize.X;
  const int64_t sh = screenSize.Y;
  const int64_t roomX = std::max<int64_t>(0, sourceSize.X - sw);
  const int64_t roomY = std::max<int64_t>(0, sourceSize.Y - sh);
  switch (FKind) {
    case TMotionKind::mkPanVertical:
      FStart = WholePixels(roomX / 2, 0, sw, sh);
      FEnd = WholePixels(roomX / 2, roomY, sw, sh);
      break;
    case TMotionKind::mkPanAcross:
      FStart = WholePixels(0, roomY / 2, sw, sh);
      FEnd = WholePixels(roomX, roomY / 2, sw, sh);
      break;
    case TMotionKind::mkZoom: {
      FStart = WholePixels(roomX / 2, roomY / 2, sw, sh);
      // The zoomed framing: the screen's proportions at 100/kZoomPercent of the whole one's
      // size, placed within it by the drift.
      const int64_t zw = sw * kFixedOne * 100 / kZoomPercent;
      const int64_t zh = sh * kFixedOne * 100 / kZoomPercent;
      const int32_t driftX = std::clamp(choice.DriftX, 0, 1000);
      const int32_t driftY = std::clamp(choice.DriftY, 0, 1000);
      FEnd = TFixedRect{FStart.Left + (FStart.Width - zw) * driftX / 1000,
                        FStart.Top + (FStart.Height - zh) * driftY / 1000, zw, zh};
      break;
    }
  }
  if (choice.Reverse) std::swap(FStart, FEnd);
}

TFixedRect TMotionPath::At(uint32_t elapsedMs, uint32_t durationMs) const {
  if (durationMs == 0 || elapsedMs >= durationMs) return FEnd;
  // t and the eased s in 16.16; smoothstep s = t^2 (3 - 2t), rounded down once from the exact
  // product (below 2^51), so s never steps back as t grows.
  const int64_t t = int64_t{elapsedMs} * kFixedOne / durationMs;
  const int64_t s = (t * t * (3 * kFixedOne - 2 * t)) >> 32;
  return TFixedRect{Lerp(FStart.Left, FEnd.Left, s), Lerp(FStart.Top, FEnd.Top, s),
                    Lerp(FStart.Width, FEnd.Width, s), Lerp(FStart.Height, FEnd.Height, s)};
}

}  // namespace tovrin
