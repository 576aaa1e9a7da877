#include "show/slide_scheduler.h"

#include <memory>
#include <utility>

#include "core/random.h"
#include "gfx/draw.h"
#include "gfx/muldiv.h"
#include "gfx/stretch.h"
#include "package/package_locator.h"

namespace tovrin {

TSlideScheduler::TSlideScheduler(TContext context)
    : FApplication(context.Application),
      FScreen(context.Screen),
      FText(context.Text),
      FProgramFile(std::move(context.ProgramFile)),
      FPShow(context.Pictures),
      FSettings(context.Settings),
      FGuard(std::move(context.Guard)),
      FHideMovie(std::move(context.HideMovie)),
      FMoviesTakeOver(std::move(context.MoviesTakeOver)),
      FShowOver(std::move(context.ShowOver)),
      FSlideTimer(context.Application) {
  FSlideTimer.SetEnabled(false);
}

void TSlideScheduler::StartPacing() {
  FSlideTimer.SetInterval(static_cast<uint32_t>(FSettings.Interval()));
  FSlideTimer.SetOnTimer([this] { FGuard([this] { ShowNextPicture(); }); });
}

void TSlideScheduler::StopSlideTimer() {
  FSlideTimer.SetEnabled(false);
}

void TSlideScheduler::ShowNextPicture() {
  const int32_t count = FSettings.PicCount();
  if (count == 0) return;
  FSlideTimer.SetEnabled(false);
  FHideMovie();

  // A picture that cannot be read or decoded counts as shown and the next one is tried at once;
  // when none can be, the show stays on its frame until input ends it.
  for (int32_t attempt = 0; attempt < count; ++attempt) {
    if (FSettings.lRandomPic()) {
      FPicIndex = Random(count);
    } else if (FPicIndex > count - 1) {
      if (FSettings.Ver() == "flash") {
        // The pictures have been shown once: the movies take over for good.
        FPShow.SetVisible(false);
        FMoviesTakeOver();
        return;
      }
      FPicIndex = 0;
    }
    const bool shown = TryShowPicture();
    if (FShowOver()) return;
    FPicIndex += 1;
    if (shown) {
      FSlideTimer.SetEnabled(true);
      return;
    }
  }
}

bool TSlideScheduler::TryShowPicture() {
  TBitmap frame;
  try {
    std::unique_ptr<TImage> item = ReadPictureItem(FProgramFile, FSettings, FPicIndex);
    if (FPShow.Busy()) FPShow.Stop();
    frame = ComposePicture(*item);
  } catch (const std::exception&) {
    return false;
  }
  FPShow.SetPicture(std::move(frame));

  TShowStyle style = 0;
  const int32_t effects = FSettings.EffectCount();
  if (effects > 0) {
    if (FSettings.lRandomStyle()) {
      style = static_cast<TShowStyle>(FSettings.EffectAt(Random(effects)));
    } else {
      FStyleIndex = FStyleIndex < effects - 1 ? FStyleIndex + 1 : 0;
      style = static_cast<TShowStyle>(FSettings.EffectAt(FStyleIndex));
    }
  }
  FPShow.SetStyle(style);

  if (FSettings.lClearOldImage()) {
    FPShow.Clear();
    FPShow.Update();
  }
  if (OnPictureStart) OnPictureStart(FPicIndex, style);
  FPShow.Execute();
  if (FShowOver()) return true;
  if (OnPictureShown) OnPictureShown(FPicIndex);
  FApplication.ProcessMessages();
  return true;
}

TBitmap TSlideScheduler::ComposePicture(TImage& item) {
  const int32_t W = FScreen.Width();
  const int32_t H = FScreen.Height();
  TBitmap frame(W, H);
  frame.Fill(ColorToRGB(clBlack));

  if (const TJPEGImage* jpeg = dynamic_cast<const TJPEGImage*>(item.Picture().Graphic());
      jpeg && !jpeg->Empty()) {
    if (FSettings.lStretch()) {
      // Stretched to the whole screen, proportions not kept. A picture larger than the screen
      // is decoded only as large as the screen needs, then filtered down.
      StretchDrawGraphic(frame, TRect{0, 0, W, H}, jpeg->BitmapCovering(W, H));
    } else {
      // Centred at its own size: a larger picture is cut off equally on both sides.
      const TBitmap& picture = jpeg->Bitmap();
      Draw(frame, (W - picture.Width()) / 2, (H - picture.Height()) / 2, picture);
    }
  }
  // The decoded picture is no longer needed: the frame replaces it.
  item.Picture().SetGraphic(nullptr);

  FTextToggle = FTextToggle == 0 ? 1 : 0;
  if (FTextToggle == 1 && !FSettings.Text().empty()) {
    // Size, colour and face of the caption font; its style and character set are not applied.
    const TFont& font = FSettings.TextFont();
    const int32_t ppi = FScreen.PixelsPerInch();
    TTextFont textFont;
    textFont.Height = -MulDiv(font.Size(ppi), ppi, 72);
    textFont.Color = ColorToRGB(font.Color());
    textFont.Name = font.Name();
    const TTextSize extent = FText.TextExtent(textFont, FSettings.Text());
    FText.TextOut(frame, frame.Width() / 2 - extent.Width / 2, frame.Height() - extent.Height,
                  textFont, FSettings.Text());
  }
  return frame;
}

}  // namespace tovrin
