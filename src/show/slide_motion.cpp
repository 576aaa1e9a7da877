#include "show/slide_motion.h"

#include <utility>

#include "core/random.h"
#include "gfx/stretch.h"

namespace tovrin {

TSlideMotion::TSlideMotion(TContext context)
    : FApplication(context.Application),
      FPShow(context.Pictures),
      FFollowers(std::move(context.Followers)),
      FGuard(std::move(context.Guard)),
      FTimer(context.Application),
      FDrawCurrent([this](TBitmap& media) {
        if (FDrawing) DrawView(*FDrawing, FDrawingFraming, media);
      }),
      FGuardedFrame([this] { Frame(); }) {
  FTimer.SetEnabled(false);
  FTimer.SetInterval(kFrameMs);
  FTimer.SetOnTimer([this] { FGuard(FGuardedFrame); });
}

void TSlideMotion::Prepare(const TJPEGImage& picture, const std::vector<TPoint>& sizes,
                           bool stretch, std::function<void(TBitmap&)> caption) {
  Forget();
  const int32_t width = picture.Width();
  const int32_t height = picture.Height();
  std::vector<TView> views;
  views.reserve(sizes.size());
  for (const TPoint& size : sizes) {
    TView view{size, TBitmap(), TMotionPath()};
    if (size.X > 0 && size.Y > 0 && width > 0 && height > 0) {
      const TMotionSource source = MotionSourceFor(width, height, size.X, size.Y, stretch);
      view.Source = TBitmap::ForOverwrite(source.Size.X, source.Size.Y);
      const TRect bounds = view.Source.BoundsRect();
      if (source.Part != TRect{0, 0, width, height}) {
        StretchDrawGraphic(view.Source, bounds, picture.BitmapPart(source.Part));
      } else if (sizes.size() == 1) {
        // The one size: decoded only as large as the source needs.
        StretchDrawGraphic(view.Source, bounds,
                           picture.BitmapCovering(source.Size.X, source.Size.Y));
      } else {
        // Several sizes share one whole decoding.
        StretchDrawGraphic(view.Source, bounds, picture.Bitmap());
      }
    }
    views.push_back(std::move(view));
  }
  // The random part is drawn once the picture has decoded, and serves every size alike.
  const TMotionChoice choice = DrawMotionChoice(ProcessRandom());
  for (TView& view : views) {
    if (view.Source.Empty()) continue;
    view.Path = TMotionPath(TPoint{view.Source.Width(), view.Source.Height()}, view.Size, choice);
  }
  FViews = std::move(views);
  FCaption = std::move(caption);
}

TBitmap TSlideMotion::FirstFrame(size_t i) {
  const TView& view = FViews.at(i);
  TBitmap frame = TBitmap::ForOverwrite(view.Size.X, view.Size.Y);
  if (view.Source.Empty()) {
    frame.Fill(clBlack);
  } else {
    DrawView(view, view.Path.Start(), frame);
  }
  return frame;
}

void TSlideMotion::StartHold(uint32_t durationMs) {
  FTimer.SetEnabled(false);
  if (FViews.empty() || durationMs == 0) return;
  FHoldStart = FApplication.TickCount();
  FDuration = durationMs;
  FTimer.SetEnabled(true);
}

void TSlideMotion::Stop() {
  FTimer.SetEnabled(false);
}

void TSlideMotion::Forget() {
  Stop();
  FViews.clear();
  FCaption = nullptr;
}

void TSlideMotion::DrawView(const TView& view, const TFixedRect& framing, TBitmap& frame) {
  FResampler.Resample(frame, view.Source, framing);
  if (FCaption) FCaption(frame);
}

void TSlideMotion::Frame() {
  const uint32_t elapsed = FApplication.TickCount() - FHoldStart;
  // The last frame of the path: the timer stops after it.
  if (elapsed >= FDuration) FTimer.SetEnabled(false);
  const auto present = [this, elapsed](TCustomPicShow& control, const TView& view) {
    // A control whose size changed since the slide was prepared stays as it is.
    const TBitmap& media = control.Media();
    if (view.Source.Empty() || media.Width() != view.Size.X || media.Height() != view.Size.Y) {
      return;
    }
    FDrawing = &view;
    FDrawingFraming = view.Path.At(elapsed, FDuration);
    control.RedrawMedia(FDrawCurrent);
    FDrawing = nullptr;
  };
  if (FViews.empty()) return;
  present(FPShow, FViews.front());
  if (FViews.size() > 1 && FFollowers) {
    const std::vector<TCustomPicShow*> followers = FFollowers();
    for (size_t i = 0; i < followers.size() && i + 1 < FViews.size(); ++i) {
      present(*followers[i], FViews[i + 1]);
    }
  }
}

}  // namespace tovrin
