// TfrmScrn: the full-screen window of show mode. It keeps the window's life cycle, activation,
// the close and halt paths and the input rules, and wires together the parts that run the show,
// each of which owns its state:
//
//   TSlideScheduler (slide_scheduler.h)  which picture comes next, with which style, its frame,
//                                        and the slide timer
//   TSoundPlaylist  (sound_playlist.h)   the sounds one after the other, with the retry timer
//   TMoviePlayback  (movie_playback.h)   the movie control, the movies and their timer
//   TMediaFolder    (media_folder.h)     the folder the media are extracted into
//   TMonitorViews   (monitor_views.h)    the windows on the desk's other monitors, black or
//                                        following the show's transitions
//   THandlerGuard   (handler_guard.h)    how the parts' handlers run inside the window's error
//                                        boundary
// frm_scrn.cpp holds the life cycle, the input rules, the close request and the input hook.
//
//   created ──Show()──> FormShow, FormActivate (first time only: open the program file for the
//   show's whole life, load the package, extract the media, read the mute choice, start the
//   movies (TMoviePlayback) or the sounds (TSoundPlaylist), cover the screen) ──idle──>
//   WM_SHOWSTART ──> TSlideScheduler::ShowNextPicture ──slide timer──> ShowNextPicture ... (in a
//   movie show, after the last picture the movies take over) ──> ended by
//     the close path:       a close request (the input hook, another program): FormClose, then
//                           the message loop ends and the owner destroys the window;
//     the termination path: RequestClose decides the show may end, the movie control is
//                           missing, no picture of the package can be shown, or the show cannot
//                           start at all (its program file cannot be read): Halt() ends the
//                           message loop at once, FormClose does not run.
//   Media that cannot be extracted are left out; the show goes on without them.
//   Covering the screen covers every monitor of the desk: the window itself the primary one,
//   TMonitorViews the others (pictures on them unless the user chose "everymonitor" off in
//   CONTROL.INI). When the desk changes during the show, the windows follow the new monitors;
//   the show goes on where it was.
//   Destroying the window (FormDestroy) deletes the extracted media and their folder.
//
// No part refers to TfrmScrn or to another part: each is given the controls and services it uses,
// and small callbacks ("the movies take over", "halt the show", "is the show over") that the
// window answers.
//
// Everything runs in the main thread, from the platform's message loop. A handler that raises
// ends in the platform's error report (a message box with the error's text), as an unhandled
// error of an event handler does, except activation, which never reports: what it cannot do is
// left out or ends the show. Halt() unwinds through the handlers silently.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gfx/rect.h"
#include "package/ss_file_locations.h"
#include "package/stream.h"
#include "picshow/custom_pic_show.h"
#include "platform/platform.h"
#include "show/media_folder.h"
#include "show/monitor_views.h"
#include "show/movie_playback.h"
#include "show/slide_scheduler.h"
#include "show/sound_playlist.h"

namespace tovrin {

// Private messages of the show window.
inline constexpr uint32_t WM_USER = 0x400;
inline constexpr uint32_t WM_SHOWSTART = WM_USER + 1;
inline constexpr uint32_t WM_SHOWSTOP = WM_USER + 2;

// Input messages the movie mode's input hook counts.
inline constexpr uint32_t WM_KEYUP = 0x101;
inline constexpr uint32_t WM_MOUSEMOVE = 0x200;
inline constexpr uint32_t WM_MBUTTONUP = 0x208;

// What input does to the show. pcAskVerifier (the show mode): input may end the show only once
// the system's password verifier agrees, when the desktop asks for a password. pcNone (a show
// window opened in any other mode): input closes the window without asking.
enum class TPasswordCheck : uint8_t { pcNone, pcAskVerifier };

class TfrmScrn final : public TFormEvents {
 public:
  // Creates the window (hidden) with its components and parts. passwordCheck says what input
  // does (see TPasswordCheck).
  TfrmScrn(TPlatform& platform, TPasswordCheck passwordCheck);
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

  // ---- The parts (tools observe the scheduler's pictures), and read-only state for tests
  TSlideScheduler& Scheduler() { return *FScheduler; }
  TSoundPlaylist& Playlist() { return *FPlaylist; }
  TMoviePlayback& Movies() { return *FMovies; }
  const TSSFileLocations& Settings() const { return FSettings; }
  TPicShow& PShow() { return *FPShow; }
  TFormWindow& Window() { return *FWindow; }
  TMediaPlayer& mpSaver() { return *FmpSaver; }
  TMonitorViews& OtherMonitors() { return *FViews; }
  int32_t MouseIgnoreCount() const { return FMouseIgnoreCount; }
  // Where the mouse was first seen, in desktop coordinates; (-1, -1) before that.
  TPoint MouseAnchor() const { return FMouseAnchored ? TPoint{FMouseX, FMouseY} : TPoint{-1, -1}; }
  // The pictures show on every monitor (the stored choice), or on the primary one only.
  bool EveryMonitor() const { return FEveryMonitor; }
  bool Started() const { return FStarted; }
  bool FirstActivate() const { return FFirstActivate; }
  // The folder the media were extracted into ("" before activation).
  std::string MediaDir() const { return FMediaFolder.Path(); }

 private:
  // Runs a handler: an error goes to the error report; a halt ends quietly.
  template <typename F>
  void Handle(F&& handler);
  void ReportError(const std::string& message);
  // Ends the program at once (the termination path): stops what runs, ends the message loop,
  // and unwinds the current handler.
  [[noreturn]] void Halt();
  // Activation's work: the program file, the package's settings, the media, the mute choice,
  // the movies or the sounds. False when the program holds no package (the window then stays
  // as it is); raises when the show cannot start.
  bool LoadShow();
  void CoverTheScreen();
  // Lays the window over the primary monitor and the other monitors' windows over the others.
  void CoverMonitors();
  void PlaceOnPrimary(const TMonitor& primary);
  // The mouse is at desk (desktop coordinates), on whichever monitor.
  void DeskMouseMove(TPoint desk);
  void FormClose();
  void FormDestroy();
  void AppIdle();
  void WMShowStart();
  void WMShowStop();
  // Input asks to end the show: closes the window, or asks the password verifier whether the
  // show may end and halts it when it may.
  void RequestClose();
  void InstallInputHook();
  void InputHookProc(uint32_t message);
  // Posts fn to run from the message loop while the window lives.
  void PostToSelf(std::function<void()> fn);

  TPlatform& FPlatform;
  TApplication& FApplication;
  const TPasswordCheck FPasswordCheck;

  // Components of the window.
  std::unique_ptr<TFormWindow> FWindow;
  std::unique_ptr<TPicShow> FPShow;
  std::unique_ptr<TMediaPlayer> FmpSaver;

  // What the parts share: the program file (open from activation on), the settings read from
  // it and the extracted media.
  std::unique_ptr<TFileStream> FProgram;
  TSSFileLocations FSettings;
  TMediaFolder FMediaFolder;

  // The parts, made with the components they use and let go of before them.
  std::unique_ptr<TMoviePlayback> FMovies;
  std::unique_ptr<TSoundPlaylist> FPlaylist;
  std::unique_ptr<TSlideScheduler> FScheduler;
  std::unique_ptr<TMonitorViews> FViews;

  bool FEveryMonitor = true;
  // The window's top left corner on the desk, once it covers the primary monitor.
  TPoint FOrigin;
  bool FMouseAnchored = false;
  int32_t FMouseX = -1;
  int32_t FMouseY = -1;
  bool FStarted = false;
  bool FFirstActivate = true;

  // What the system keeps per process for the show; one show window per process, so they live
  // here, where a test can make many.
  int32_t FMouseIgnoreCount = 0;
  std::unique_ptr<TInputHook> FHook;
  TPoint FHookCursorPos;

  bool FScreenSaverFlagSet = false;
  bool FClosed = false;
  bool FHalted = false;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
