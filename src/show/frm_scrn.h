// TfrmScrn: the full-screen window of show mode, and everything it runs.
//
//   created ──Show()──> FormShow, FormActivate (first time: load the package, extract the media,
//   read the mute choice, start movies or sound, cover the screen) ──idle──> WM_SHOWSTART ──>
//   ShowNextPicture ──slide timer──> ShowNextPicture ... ──> ended by
//     the close path:       a close request (the input hook, another program): FormClose, then
//                           the message loop ends and the owner destroys the window;
//     the termination path: RequestClose decides the show may end, or the movie control is
//                           missing: Halt() ends the message loop at once, FormClose does not run.
//   Destroying the window (FormDestroy) deletes the extracted media and their folder.
//
// Files: frm_scrn.cpp (life cycle, input, close request, input hook), slide_scheduler.cpp
// (ShowNextPicture, ComposePicture), sound_playlist.cpp, movie_playback.cpp.
//
// Everything runs in the main thread, from the platform's message loop. A handler that raises
// ends in the platform's error report (a message box with the error's text), as an unhandled
// error of an event handler does; Halt() unwinds through the handlers silently.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/saver_mode.h"
#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "package/image.h"
#include "package/ss_file_locations.h"
#include "picshow/custom_pic_show.h"
#include "platform/platform.h"
#include "platform/timer.h"
#include "show/media_folder.h"

namespace tovrin {

// Private messages of the show window.
inline constexpr uint32_t WM_USER = 0x400;
inline constexpr uint32_t WM_SHOWSTART = WM_USER + 1;
inline constexpr uint32_t WM_SHOWSTOP = WM_USER + 2;

// Input messages the movie mode's input hook counts.
inline constexpr uint32_t WM_KEYUP = 0x101;
inline constexpr uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr uint32_t WM_MBUTTONUP = 0x208;

// The address the missing-movie-control message offers; the language file can replace it (key
// "DownloadURL" of section "Language").
inline constexpr const char* MoviePlayerDownloadUrl = "https://tovrin.org/movie-player";

// A sound ended "at once" when the device reports that the play failed (with no sound card, Wine's
// wave device does so 7 to 40 ms after the play), or when its end comes sooner than
// kInstantSoundEndMs after Play returned (a file that holds no sound ends after a buffer or two,
// some 12 ms; a test's null device plays a 300 ms sound in 50 to 100 ms, so the bound stays well
// below that). When every sound of the playlist has ended at once in a row, the next one is
// started by a timer after kSoundRetryMs rather than straight away, so a missing sound device
// costs one attempt (some 30 ms of processor under Wine) every five seconds instead of a busy
// core, and sound comes back by itself when the device does.
inline constexpr uint32_t kInstantSoundEndMs = 25;
inline constexpr uint32_t kSoundRetryMs = 5000;

class TfrmScrn final : public TFormEvents {
 public:
  // Creates the window (hidden) with its components, then runs FormCreate. mode is the process's
  // SaverMode, which the close request consults.
  TfrmScrn(TPlatform& platform, TSaverMode mode);
  // FormDestroy, then the components.
  ~TfrmScrn() override;
  TfrmScrn(const TfrmScrn&) = delete;
  TfrmScrn& operator=(const TfrmScrn&) = delete;

  // Makes the window visible, as the application does with its main form when the loop starts.
  void Show();
  // True once the show has ended by either path: the owner leaves its message loop.
  bool Ended() const { return FClosed || FHalted; }
  // The show ended through Halt (the termination path).
  bool Halted() const { return FHalted; }

  // ---- TFormEvents (the window's handlers)
  void FormShow() override;
  void FormActivate() override;
  void FormKeyDown(uint16_t key, TShiftState shift) override;
  void FormMouseDown(TMouseButton button, TShiftState shift, int32_t x, int32_t y) override;
  void FormMouseMove(TShiftState shift, int32_t x, int32_t y) override;
  void FormUserMessage(uint32_t message) override;
  void FormCloseRequest() override;

  // ---- Read-only state, for tests and tools
  const TSSFileLocations& Settings() const { return *FSettings; }
  TPicShow& PShow() { return *FPShow; }
  TFormWindow& Window() { return *FWindow; }
  TMediaPlayer& mpSaver() { return *FmpSaver; }
  TTimer& SlideTimer() { return FSlideTimer; }
  TTimer& TimerFlash() { return FTimerFlash; }
  TMoviePlayer* Flash() const { return FFlash.get(); }
  int32_t PicIndex() const { return FPicIndex; }
  int32_t SndIndex() const { return FSndIndex; }
  int32_t MovieIndex() const { return FMovieIndex; }
  int32_t StyleIndex() const { return FStyleIndex; }
  int32_t MouseIgnoreCount() const { return FMouseIgnoreCount; }
  TPoint MouseAnchor() const { return TPoint{FMouseX, FMouseY}; }
  bool Started() const { return FStarted; }
  bool FirstActivate() const { return FFirstActivate; }
  // The folder the media were extracted into ("" before activation).
  std::string MediaDir() const { return FMediaFolder.Path(); }

  // Observers for tools (tovrin-render show): a picture's transition starts / has ended. index is
  // the picture item's index, style the style used.
  std::function<void(int32_t index, TShowStyle style)> OnPictureStart;
  std::function<void(int32_t index)> OnPictureShown;

  // ---- The show's operations (public: the scheduler and the playlists call each other)
  void RequestClose();
  void ShowNextPicture();
  // The screen-size frame of a freshly read picture item: black, the picture stretched or
  // centred, the caption on every other one. The item's own graphic (the decoded picture) is
  // released: the frame replaces it. Raises when the picture cannot be decoded.
  TBitmap ComposePicture(TImage& item);
  void PlayNextSound();
  void mpSaverNotify();
  void SoundRetryTimerTimer();
  void CreateFlashPlayer();
  void PlayNextMovie();
  void TimerFlashTimer();

 private:
  // Runs a handler: an error goes to the error report; a halt ends quietly.
  template <typename F>
  void Handle(F&& handler);
  void ReportError(const std::string& message);
  // Ends the program at once (the termination path): stops what runs, ends the message loop,
  // and unwinds the current handler.
  [[noreturn]] void Halt();
  void FormCreate();
  void FormClose();
  void FormDestroy();
  void AppIdle();
  void WMShowStart();
  void WMShowStop();
  void InstallInputHook();
  void InputHookProc(uint32_t message);
  // Reads, composes and shows picture FPicIndex; false when the item cannot be read or decoded.
  bool TryShowPicture();
  // Posts fn to run from the message loop while the window lives.
  void PostToSelf(std::function<void()> fn);

  TPlatform& FPlatform;
  TApplication& FApplication;
  const TSaverMode FSaverMode;

  // Components of the window.
  std::unique_ptr<TFormWindow> FWindow;
  std::unique_ptr<TPicShow> FPShow;
  std::unique_ptr<TMediaPlayer> FmpSaver;
  TTimer FTimerFlash;

  // Fields.
  std::unique_ptr<TMoviePlayer> FFlash;
  uint8_t FTextToggle = 0;
  int32_t FPicIndex = 0;
  int32_t FSndIndex = 0;
  int32_t FMovieIndex = 0;
  int32_t FStyleIndex = 0;
  TTimer FSlideTimer;
  // The playlist's guard against a device that ends every sound at once (see sound_playlist.cpp).
  TTimer FSoundRetryTimer;
  uint32_t FSoundStartTick = 0;
  int32_t FInstantSoundEnds = 0;
  int32_t FMouseX = -1;
  int32_t FMouseY = -1;
  bool FStarted = false;
  std::unique_ptr<TSSFileLocations> FSettings;
  bool FFirstActivate = true;

  // What the system keeps per process for the show; one show window per process, so they live
  // here, where a test can make many.
  int32_t FMouseIgnoreCount = 0;
  std::unique_ptr<TInputHook> FHook;
  TPoint FHookCursorPos;

  TMediaFolder FMediaFolder;
  bool FScreenSaverFlagSet = false;
  bool FClosed = false;
  bool FHalted = false;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
