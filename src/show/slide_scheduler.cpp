#include "show/slide_scheduler.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "core/random.h"
#include "gfx/blurred_backdrop.h"
#include "gfx/draw.h"
#include "gfx/muldiv.h"
#include "gfx/stretch.h"
#include "package/package_locator.h"

namespace tovrin {

TSlideScheduler::TSlideScheduler(TContext context)
    : FApplication(context.Application),
      FScreen(context.Screen),
      FText(context.Text),
      FPShow(context.Pictures),
      FSettings(context.Settings),
      FGuard(std::move(context.Guard)),
      FHideMovie(std::move(context.HideMovie)),
      FMoviesTakeOver(std::move(context.MoviesTakeOver)),
      FEndShow(std::move(context.EndShow)),
      FShowOver(std::move(context.ShowOver)),
      FFollowers(std::move(context.Followers)),
      FSlideTimer(context.Application),
      FMotion(TSlideMotion::TContext{
          .Application = FApplication,
          .Pictures = FPShow,
          .Followers = FFollowers,
          .Guard = FGuard,
      }) {
  FSlideTimer.SetEnabled(false);
  FPShow.OnProgress = [this](TCustomPicShow&) { FollowProgress(); };
}

std::vector<TCustomPicShow*> TSlideScheduler::Followers() const {
  return FFollowers ? FFollowers() : std::vector<TCustomPicShow*>{};
}

void TSlideScheduler::FollowProgress() {
  const uint8_t progress = FPShow.Progress();
  for (TCustomPicShow* follower : Followers()) {
    if (follower->Busy()) follower->SetProgress(progress);
  }
}

void TSlideScheduler::HidePictures() {
  FMotion.Forget();
  // The movies play on the show window; the other monitors go black.
  FPShow.SetVisible(false);
  for (TCustomPicShow* follower : Followers()) follower->SetVisible(false);
}

void TSlideScheduler::StopFollowers() {
  for (TCustomPicShow* follower : Followers()) {
    if (follower->Busy()) follower->Stop();
  }
}

void TSlideScheduler::Start(TStream& program) {
  FProgram = &program;
  FShuffle = TShuffleOrder(FSettings.PicCount());
  FSlideTimer.SetInterval(static_cast<uint32_t>(FSettings.Interval()));
  FSlideTimer.SetOnTimer([this] { FGuard([this] { ShowNextPicture(); }); });
}

void TSlideScheduler::StopSlideTimer() {
  FSlideTimer.SetEnabled(false);
  FMotion.Stop();
  ++FRound;
}

void TSlideScheduler::ShowNextPicture() {
  if (FProgram == nullptr || FSettings.PicCount() == 0) return;
  FSlideTimer.SetEnabled(false);
  // The next transition starts from the frame the motion reached.
  FMotion.Stop();
  ++FRound;
  FHideMovie();
  TryPictures();
}

int32_t TSlideScheduler::NextUsable(int32_t index) const {
  const int32_t count = FSettings.PicCount();
  if (FFailed.empty()) return index;
  while (index < count && FFailed[static_cast<size_t>(index)]) ++index;
  return index;
}

void TSlideScheduler::TryPictures() {
  const int32_t count = FSettings.PicCount();
  const uint32_t turnStart = FApplication.TickCount();
  for (int32_t reads = 0;;) {
    if (FFailedCount >= count) {
      // Nothing left to show.
      if (FSettings.Ver() == "flash") {
        HidePictures();
        FMoviesTakeOver();
      } else {
        FEndShow();
      }
      return;
    }
    if (FSettings.lShuffle()) {
      const auto failed = [this](int32_t i) {
        return !FFailed.empty() && FFailed[static_cast<size_t>(i)];
      };
      if (FSettings.Ver() == "flash" && FShuffle.Rounds() > 0 && FShuffle.RoundDone(failed)) {
        // Every picture has had its turn once: the movies take over for good.
        FPShow.SetVisible(false);
        FMoviesTakeOver();
        return;
      }
      // Never -1 here: some picture has not failed.
      FPicIndex = FShuffle.Next(failed);
    } else if (FSettings.lRandomPic()) {
      // A failed pick moves on to the next picture that may still show, wrapping round.
      FPicIndex = NextUsable(Random(count));
      if (FPicIndex > count - 1) FPicIndex = NextUsable(0);
    } else {
      FPicIndex = NextUsable(FPicIndex);
      if (FPicIndex > count - 1) {
        if (FSettings.Ver() == "flash") {
          // The pictures have been shown once: the movies take over for good.
          HidePictures();
          FMoviesTakeOver();
          return;
        }
        FPicIndex = NextUsable(0);
      }
    }
    const bool shown = TryShowPicture();
    if (FShowOver()) return;
    if (!shown) {
      if (FFailed.empty()) FFailed.resize(static_cast<size_t>(count));
      FFailed[static_cast<size_t>(FPicIndex)] = true;
      ++FFailedCount;
    }
    FPicIndex += 1;
    if (shown) {
      FSlideTimer.SetEnabled(true);
      return;
    }
    ++reads;
    if (reads >= kReadsPerTurn || FApplication.TickCount() - turnStart >= kTurnBudgetMs) break;
  }
  // The turn's share is used up: the rest waits behind what else is queued.
  const std::weak_ptr<bool> alive = FAlive;
  FApplication.Post([this, alive, round = FRound] {
    if (alive.expired() || round != FRound || FShowOver()) return;
    FGuard([this] { TryPictures(); });
  });
}

bool TSlideScheduler::TryShowPicture() {
  std::vector<TCustomPicShow*> followers = Followers();
  std::vector<TBitmap> frames;
  try {
    ++FReadCount;
    std::unique_ptr<TImage> item = ReadPictureItem(*FProgram, FSettings, FPicIndex);
    if (FPShow.Busy()) FPShow.Stop();
    StopFollowers();
    std::vector<TPoint> sizes{TPoint{FScreen.Width(), FScreen.Height()}};
    for (const TCustomPicShow* follower : followers) {
      sizes.push_back(TPoint{follower->Width(), follower->Height()});
    }
    frames = ComposePictures(*item, sizes);
  } catch (const std::exception&) {
    return false;
  }
  FPShow.SetPicture(std::move(frames.front()));
  for (size_t i = 0; i < followers.size(); ++i) {
    followers[i]->SetPicture(std::move(frames[i + 1]));
  }

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
    for (TCustomPicShow* follower : followers) {
      follower->Clear();
      follower->Update();
    }
  }
  // The followers prepare their transitions and wait for the show's control to step them.
  for (TCustomPicShow* follower : followers) {
    follower->SetStyle(style);
    follower->SetStep(FPShow.Step());
    follower->Execute();
  }
  if (OnPictureStart) OnPictureStart(FPicIndex, style);
  FPShow.Execute();
  // The show's control reached its last frame, or was stopped: the followers end where it did
  // (a follower that came or went meanwhile is asked again).
  FollowProgress();
  StopFollowers();
  if (FShowOver()) return true;
  FMotion.StartHold(static_cast<uint32_t>(std::max(0, FSettings.Interval())));
  if (OnPictureShown) OnPictureShown(FPicIndex);
  FApplication.ProcessMessages();
  return true;
}

TBitmap TSlideScheduler::ComposePicture(TImage& item) {
  return std::move(ComposePictures(item, {TPoint{FScreen.Width(), FScreen.Height()}}).front());
}

std::vector<TBitmap> TSlideScheduler::ComposePictures(TImage& item,
                                                      const std::vector<TPoint>& sizes) {
  FTextToggle = FTextToggle == 0 ? 1 : 0;
  // The picture's own caption on every picture, or the package's text on every other one.
  const std::string caption = FSettings.lPicCaptions() ? FSettings.DescriptAt(FPicIndex)
                              : FTextToggle == 1       ? FSettings.Text()
                                                       : std::string();
  std::vector<TBitmap> frames;
  frames.reserve(sizes.size());
  const TJPEGImage* jpeg = dynamic_cast<const TJPEGImage*>(item.Picture().Graphic());
  if (FSettings.lMotion() && jpeg && !jpeg->Empty()) {
    FMotion.Prepare(*jpeg, sizes, FSettings.lStretch(), CaptionDrawer(caption));
    for (size_t i = 0; i < sizes.size(); ++i) frames.push_back(FMotion.FirstFrame(i));
    item.Picture().SetGraphic(nullptr);
    return frames;
  }
  FMotion.Forget();
  for (const TPoint& size : sizes) {
    frames.push_back(
        ComposeFrame(item.Picture().Graphic(), size.X, size.Y, caption, sizes.size() == 1));
  }
  // The decoded picture is no longer needed: the frames replace it.
  item.Picture().SetGraphic(nullptr);
  return frames;
}

TBitmap TSlideScheduler::ComposeFrame(const TStoredGraphic* graphic, int32_t W, int32_t H,
                                      const std::string& caption, bool onlyFrame) {
  TBitmap frame = TBitmap::ForOverwrite(W, H);
  frame.Fill(ColorToRGB(clBlack));

  if (const TJPEGImage* jpeg = dynamic_cast<const TJPEGImage*>(graphic); jpeg && !jpeg->Empty()) {
    if (FSettings.lStretch()) {
      // Stretched to the whole screen, proportions not kept. A picture larger than the screen
      // is decoded only as large as the screen needs, then filtered down.
      StretchDrawGraphic(frame, TRect{0, 0, W, H}, jpeg->BitmapCovering(W, H));
    } else if (const int32_t pw = jpeg->Width(), ph = jpeg->Height();
               onlyFrame && (pw > W || ph > H) &&
               !(FSettings.PicFill() == pfBlur && (pw < W || ph < H))) {
      // Centred at its own size and cut off by the frame (nothing around it to fill): only
      // the part the frame shows is decoded.
      const int32_t x = (W - pw) / 2;
      const int32_t y = (H - ph) / 2;
      const TRect shown{std::max(0, -x), std::max(0, -y), std::min(pw, W - x), std::min(ph, H - y)};
      Draw(frame, x + shown.Left, y + shown.Top, jpeg->BitmapPart(shown));
    } else {
      // Centred at its own size: a larger picture is cut off equally on both sides.
      const TBitmap& picture = jpeg->Bitmap();
      if (FSettings.PicFill() == pfBlur && (picture.Width() < W || picture.Height() < H)) {
        // What the picture leaves uncovered shows its own blurred copy instead of black.
        DrawBlurredBackdrop(frame, picture);
      }
      Draw(frame, (W - picture.Width()) / 2, (H - picture.Height()) / 2, picture);
    }
  }
  if (!caption.empty()) DrawCaption(frame, caption);
  return frame;
}

namespace {

// Size, colour and face of the caption font; its style and character set are not applied.
TTextFont CaptionFont(const TFont& font, int32_t ppi) {
  TTextFont textFont;
  textFont.Height = -MulDiv(font.Size(ppi), ppi, 72);
  textFont.Color = ColorToRGB(font.Color());
  textFont.Name = font.Name();
  return textFont;
}

}  // namespace

void TSlideScheduler::DrawCaption(TBitmap& frame, const std::string& caption) {
  const TTextFont textFont = CaptionFont(FSettings.TextFont(), FScreen.PixelsPerInch());
  const TTextSize extent = FText.TextExtent(textFont, caption);
  FText.TextOut(frame, frame.Width() / 2 - extent.Width / 2, frame.Height() - extent.Height,
                textFont, caption);
}

std::function<void(TBitmap&)> TSlideScheduler::CaptionDrawer(const std::string& caption) {
  if (caption.empty()) return nullptr;
  TTextFont textFont = CaptionFont(FSettings.TextFont(), FScreen.PixelsPerInch());
  const TTextSize extent = FText.TextExtent(textFont, caption);
  return [&text = FText, textFont = std::move(textFont), extent, caption](TBitmap& frame) {
    text.TextOut(frame, frame.Width() / 2 - extent.Width / 2, frame.Height() - extent.Height,
                 textFont, caption);
  };
}

}  // namespace tovrin
