// TSlideScheduler: which picture the show presents next, with which style, and the screen-size
// frame it is shown in; the slide timer paces the pictures.
//
// ShowNextPicture reads the next picture item from the program file, composes its frame, runs its
// transition in the picture control and arms the slide timer, which calls ShowNextPicture again
// Interval ms after the transition has ended. In a movie show the pictures are shown once, then
// the movies take over for good.
//
// With lMotion each picture fills the screen and moves slowly while it is held (TSlideMotion): the
// frame a transition leads to is the start of the picture's motion, and the next transition
// starts from the moved frame on screen.
//
// On a desk of several monitors the other monitors' picture controls (Followers) run the same
// transition: each gets the picture composed at its own size and the same style, and composes
// its frame of each step right after the show's control has composed its own (the show's control
// paces the transition; the followers are driven by hand). They end at the last frame with it,
// and stop where it stops.
//
// A picture that cannot be read or decoded is remembered (one bit per picture) and never tried
// again; the next one is tried at once. A package may hold a million such entries, so one turn of
// the message loop tries only a few (kReadsPerTurn, or kTurnBudgetMs of work) and posts the rest,
// leaving signals, input and timers their turn in between. When every picture has failed, the
// movies take over in a movie show and any other show ends quietly.
//
// Main thread only. What the context refers to belongs to the show window and outlives the
// scheduler.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/bitmap.h"
#include "package/image.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"
#include "picshow/custom_pic_show.h"
#include "platform/application.h"
#include "platform/screen.h"
#include "platform/text_renderer.h"
#include "platform/timer.h"
#include "show/handler_guard.h"
#include "show/shuffle_order.h"
#include "show/slide_motion.h"

namespace tovrin {

class TSlideScheduler {
 public:
  struct TContext {
    TApplication& Application;  // the slide timer; the queue served after each transition
    TScreen& Screen;            // the frame's size and the caption's pixels per inch
    TTextRenderer& Text;        // the caption
    TCustomPicShow& Pictures;   // the picture control the transitions run in
    const TSSFileLocations& Settings;
    THandlerGuard Guard;  // runs the slide timer's handler
    // A picture is about to be shown: the movie control, when it shows, steps aside.
    std::function<void()> HideMovie;
    // Every picture of a movie show has been shown once: the movies play from now on.
    std::function<void()> MoviesTakeOver;
    // No picture of a show without movies can be read or decoded: the show ends.
    std::function<void()> EndShow;
    // True once the show has ended (a transition serves the message queue, and input may end
    // the show meanwhile): the scheduler then does nothing more.
    std::function<bool()> ShowOver;
    // The other monitors' picture controls as they are now (the desk may change during a
    // transition); none on a desk of one monitor. May be empty.
    std::function<std::vector<TCustomPicShow*>()> Followers;
  };

  explicit TSlideScheduler(TContext context);
  TSlideScheduler(const TSlideScheduler&) = delete;
  TSlideScheduler& operator=(const TSlideScheduler&) = delete;

  // Most pictures tried in one turn of the message loop, and the time after which a turn stops
  // trying even before that (a picture that decodes slowly and then fails).
  static constexpr int32_t kReadsPerTurn = 4;
  static constexpr uint32_t kTurnBudgetMs = 5;

  // The settings have been read and the program file is open as program (it outlives the
  // scheduler's use of it): the pictures are read from it, and the slide timer shows the next
  // picture Interval ms after each transition.
  void Start(TStream& program);
  // No further picture comes by itself (the show is ending, or asks whether it may); tries still
  // posted are dropped, and a moving picture stops where it is.
  void StopSlideTimer();

  // Shows picture PicIndex (or a random one, or the next of the shuffled round) and arms the slide
  // timer; does nothing when the package holds no pictures. Pictures that fail are passed over a
  // few at a time per turn of the message loop.
  void ShowNextPicture();
  // The screen-size frame of a freshly read picture item: black (or, with PicFill pfBlur, the
  // picture's blurred backdrop when it does not cover the screen), the picture stretched or
  // centred, the caption on every other one (or, with lPicCaptions, the picture's own caption
  // from DescriptCommaList at PicIndex on every one). With lMotion, the picture's motion is
  // prepared and the frame is its first one. The item's own graphic (the decoded picture)
  // is released: the frame replaces it. Raises when the picture cannot be decoded.
  TBitmap ComposePicture(TImage& item);
  // The same for several screens at once, the primary one first: one frame per size, all with
  // the same caption or all without.
  std::vector<TBitmap> ComposePictures(TImage& item, const std::vector<TPoint>& sizes);

  // Observers for tools (tovrin-render show): a picture's transition starts / has ended. index is
  // the picture item's index, style the style used.
  std::function<void(int32_t index, TShowStyle style)> OnPictureStart;
  std::function<void(int32_t index)> OnPictureShown;

  // ---- Read-only state, for tests and tools
  int32_t PicIndex() const { return FPicIndex; }
  int32_t StyleIndex() const { return FStyleIndex; }
  const TTimer& SlideTimer() const { return FSlideTimer; }
  const TSlideMotion& Motion() const { return FMotion; }
  // Picture items read so far (shown or failed), and the pictures known to fail.
  int64_t ReadCount() const { return FReadCount; }
  int32_t FailedCount() const { return FFailedCount; }

 private:
  // One turn's tries: until a picture shows, the movies take over, the show ends, or the turn's
  // share is used up (the rest is posted).
  void TryPictures();
  // The first picture at or after index that has not failed; count when there is none.
  int32_t NextUsable(int32_t index) const;
  // Reads, composes and shows picture FPicIndex; false when the item cannot be read or decoded.
  bool TryShowPicture();
  // The picture as a frame of width x height.
  // caption: the text drawn at the bottom centre; empty for none.
  // onlyFrame: this is the picture's one frame, so a picture larger than the frame may be
  // decoded only as far as the frame shows it (several frames share one whole decoding).
  TBitmap ComposeFrame(const TStoredGraphic* graphic, int32_t width, int32_t height,
                       const std::string& caption, bool onlyFrame);
  // Draws caption at the bottom centre of frame in the caption font.
  void DrawCaption(TBitmap& frame, const std::string& caption);
  // The caption drawing of a moving slide, for frames of any size: the font and extent are worked
  // out once here. Empty for no caption.
  std::function<void(TBitmap&)> CaptionDrawer(const std::string& caption);
  std::vector<TCustomPicShow*> Followers() const;
  // The show's control composed a frame: the followers compose theirs at the same progress.
  void FollowProgress();
  // Ends the followers' transitions at the frame they reached.
  void StopFollowers();
  // The movies take over: no picture control shows any more.
  void HidePictures();

  TApplication& FApplication;
  TScreen& FScreen;
  TTextRenderer& FText;
  TStream* FProgram = nullptr;
  TCustomPicShow& FPShow;
  const TSSFileLocations& FSettings;
  const THandlerGuard FGuard;
  const std::function<void()> FHideMovie;
  const std::function<void()> FMoviesTakeOver;
  const std::function<void()> FEndShow;
  const std::function<bool()> FShowOver;
  const std::function<std::vector<TCustomPicShow*>()> FFollowers;

  uint8_t FTextToggle = 0;
  int32_t FPicIndex = 0;
  int32_t FStyleIndex = 0;
  TShuffleOrder FShuffle{0};  // the order of a shuffled show
  TTimer FSlideTimer;
  TSlideMotion FMotion;

  // One bit per picture, set when it failed; sized at the first failure.
  std::vector<bool> FFailed;
  int32_t FFailedCount = 0;
  int64_t FReadCount = 0;
  // Tries posted for a later turn run only while this is the current round of tries.
  uint32_t FRound = 0;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
