// TSlideScheduler: which picture the show presents next, with which style, and the screen-size
// frame it is shown in; the slide timer paces the pictures.
//
// ShowNextPicture reads the next picture item from the program file, composes its frame, runs its
// transition in the picture control and arms the slide timer, which calls ShowNextPicture again
// Interval ms after the transition has ended. A picture that cannot be read or decoded counts as
// shown and the next one is tried at once. In a movie show the pictures are shown once, then the
// movies take over for good.
//
// Main thread only. What the context refers to belongs to the show window and outlives the
// scheduler.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "gfx/bitmap.h"
#include "package/image.h"
#include "package/ss_file_locations.h"
#include "picshow/custom_pic_show.h"
#include "platform/application.h"
#include "platform/screen.h"
#include "platform/text_renderer.h"
#include "platform/timer.h"
#include "show/handler_guard.h"

namespace tovrin {

class TSlideScheduler {
 public:
  struct TContext {
    TApplication& Application;  // the slide timer; the queue served after each transition
    TScreen& Screen;            // the frame's size and the caption's pixels per inch
    TTextRenderer& Text;        // the caption
    std::string ProgramFile;    // the picture items are read from here
    TCustomPicShow& Pictures;   // the picture control the transitions run in
    const TSSFileLocations& Settings;
    THandlerGuard Guard;  // runs the slide timer's handler
    // A picture is about to be shown: the movie control, when it shows, steps aside.
    std::function<void()> HideMovie;
    // Every picture of a movie show has been shown once: the movies play from now on.
    std::function<void()> MoviesTakeOver;
    // True once the show has ended (a transition serves the message queue, and input may end
    // the show meanwhile): the scheduler then does nothing more.
    std::function<bool()> ShowOver;
  };

  explicit TSlideScheduler(TContext context);
  TSlideScheduler(const TSlideScheduler&) = delete;
  TSlideScheduler& operator=(const TSlideScheduler&) = delete;

  // The settings have been read: from now on the slide timer shows the next picture Interval ms
  // after each transition.
  void StartPacing();
  // No further picture comes by itself (the show is ending, or asks whether it may).
  void StopSlideTimer();

  // Shows picture PicIndex (or a random one) and arms the slide timer; does nothing when the
  // package holds no pictures.
  void ShowNextPicture();
  // The screen-size frame of a freshly read picture item: black, the picture stretched or
  // centred, the caption on every other one. The item's own graphic (the decoded picture) is
  // released: the frame replaces it. Raises when the picture cannot be decoded.
  TBitmap ComposePicture(TImage& item);

  // Observers for tools (tovrin-render show): a picture's transition starts / has ended. index is
  // the picture item's index, style the style used.
  std::function<void(int32_t index, TShowStyle style)> OnPictureStart;
  std::function<void(int32_t index)> OnPictureShown;

  // ---- Read-only state, for tests and tools
  int32_t PicIndex() const { return FPicIndex; }
  int32_t StyleIndex() const { return FStyleIndex; }
  const TTimer& SlideTimer() const { return FSlideTimer; }

 private:
  // Reads, composes and shows picture FPicIndex; false when the item cannot be read or decoded.
  bool TryShowPicture();

  TApplication& FApplication;
  TScreen& FScreen;
  TTextRenderer& FText;
  const std::string FProgramFile;
  TCustomPicShow& FPShow;
  const TSSFileLocations& FSettings;
  const THandlerGuard FGuard;
  const std::function<void()> FHideMovie;
  const std::function<void()> FMoviesTakeOver;
  const std::function<bool()> FShowOver;

  uint8_t FTextToggle = 0;
  int32_t FPicIndex = 0;
  int32_t FStyleIndex = 0;
  TTimer FSlideTimer;
};

}  // namespace tovrin
