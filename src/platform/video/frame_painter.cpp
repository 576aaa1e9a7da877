#include "platform/video/frame_painter.h"

#include <algorithm>
#include <cstring>

#include "platform/video/video_clip.h"

namespace tovrin {

namespace {

// Blackens what lies outside rect: the bars above and below it, and at its sides.
void BlackenAround(TBitmap& bitmap, const TRect& rect) {
  const auto rowBytes = static_cast<size_t>(bitmap.Width()) * 3;
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    if (y < rect.Top || y >= rect.Bottom) {
      std::memset(row, 0, rowBytes);
      continue;
    }
    std::memset(row, 0, static_cast<size_t>(rect.Left) * 3);
    std::memset(row + static_cast<size_t>(rect.Right) * 3, 0,
                static_cast<size_t>(bitmap.Width() - rect.Right) * 3);
  }
}

// Copies source turned rotation degrees clockwise into target at (left, top); source's sizes
// swap for quarter turns.
void Turn(const TBitmap& source, int32_t rotation, TBitmap& target, int32_t left, int32_t top) {
  const int32_t w = source.Width();
  const int32_t h = source.Height();
  const int32_t outW = rotation == 180 ? w : h;
  const int32_t outH = rotation == 180 ? h : w;
  for (int32_t y = 0; y < outH; ++y) {
    uint8_t* out = target.ScanLine(top + y) + static_cast<size_t>(left) * 3;
    for (int32_t x = 0; x < outW; ++x) {
      int32_t sx = 0;
      int32_t sy = 0;
      if (rotation == 90) {  // the source's left column becomes the top row
        sx = y;
        sy = h - 1 - x;
      } else if (rotation == 270) {
        sx = w - 1 - y;
        sy = x;
      } else {
        sx = w - 1 - x;
        sy = h - 1 - y;
      }
      const uint8_t* in = source.ScanLine(sy) + static_cast<size_t>(sx) * 3;
      std::memcpy(out + static_cast<size_t>(x) * 3, in, 3);
    }
  }
}

}  // namespace

TRect FitRect(int64_t width, int64_t height, int32_t boxWidth, int32_t boxHeight) {
  if (width <= 0 || height <= 0 || boxWidth <= 0 || boxHeight <= 0) return TRect{};
  // Full width when the picture is at least as wide, in proportion, as the box.
  int64_t w = boxWidth;
  int64_t h = boxHeight;
  if (width * boxHeight >= height * boxWidth) {
    h = std::clamp<int64_t>((height * boxWidth + width / 2) / width, 1, boxHeight);
  } else {
    w = std::clamp<int64_t>((width * boxHeight + height / 2) / height, 1, boxWidth);
  }
  const auto left = static_cast<int32_t>((boxWidth - w) / 2);
  const auto top = static_cast<int32_t>((boxHeight - h) / 2);
  return TRect{left, top, left + static_cast<int32_t>(w), top + static_cast<int32_t>(h)};
}

bool TFramePainter::Paint(const AVFrame& frame, int32_t rotation, TBitmap& target) {
  if (target.Empty() || target.PixelFormat() != TPixelFormat::pf24bit) return false;
  if (frame.width <= 0 || frame.height <= 0 || frame.width > TVideoClip::MaxVideoSide ||
      frame.height > TVideoClip::MaxVideoSide) {
    return false;
  }
  const auto format = static_cast<AVPixelFormat>(frame.format);
  if (!Av().sws_isSupportedInput(format)) return false;

  // The picture's shape as shown: its sample aspect, then the turn.
  int64_t shownW = frame.width;
  int64_t shownH = frame.height;
  const AVRational sar = frame.sample_aspect_ratio;
  if (sar.num > 0 && sar.den > 0) shownW = std::max<int64_t>(1, shownW * sar.num / sar.den);
  const bool sideways = rotation == 90 || rotation == 270;
  if (sideways) std::swap(shownW, shownH);
  const TRect rect = FitRect(shownW, shownH, target.Width(), target.Height());
  if (rect.IsEmpty()) return false;
  const int32_t scaledW = sideways ? rect.Height() : rect.Width();
  const int32_t scaledH = sideways ? rect.Width() : rect.Height();

  // A picture made smaller (a 4K clip on a smaller screen) takes the fast filter: the full one
  // costs a 4K frame more than its decoding on the main thread, and a moving picture hides the
  // difference.
  const bool smaller = int64_t{scaledW} * scaledH < int64_t{frame.width} * frame.height;
  FScaler.reset(Av().sws_getCachedContext(
      FScaler.release(), frame.width, frame.height, format, scaledW, scaledH, AV_PIX_FMT_BGR24,
      smaller ? SWS_FAST_BILINEAR : SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!FScaler) return false;
  // The frame's own colour matrix and range (phone videos are BT.709), to full-range RGB.
  Av().sws_setColorspaceDetails(FScaler.get(), Av().sws_getCoefficients(frame.colorspace),
                                frame.color_range == AVCOL_RANGE_JPEG ? 1 : 0,
                                Av().sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);

  // Every time: the target may be a bitmap another painter filled, with other bars.
  BlackenAround(target, rect);
  const bool turned = rotation == 90 || rotation == 180 || rotation == 270;
  TBitmap* into = &target;
  int32_t left = rect.Left;
  int32_t top = rect.Top;
  if (turned) {
    if (FUpright.Width() != scaledW || FUpright.Height() != scaledH) {
      FUpright = TBitmap(scaledW, scaledH);
    }
    into = &FUpright;
    left = 0;
    top = 0;
  }
  uint8_t* planes[4] = {into->ScanLine(top) + static_cast<size_t>(left) * 3, nullptr, nullptr,
                        nullptr};
  const int strides[4] = {static_cast<int>(into->Stride()), 0, 0, 0};
  if (Av().sws_scale(FScaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) <=
      0) {
    return false;
  }
  if (turned) Turn(FUpright, rotation, target, rect.Left, rect.Top);
  return true;
}

}  // namespace tovrin
