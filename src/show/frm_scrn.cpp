#include "show/frm_scrn.h"

#include <cstdlib>

#include "core/errors.h"
#include "core/ini_file.h"
#include "core/paths.h"
#include "package/package_locator.h"

namespace tovrin {

namespace {

// Unwinds the handler that called Halt; the handler boundary drops it without a word.
struct TProgramHalt {};

// Design-time client size of the window, before activation covers the screen.
constexpr int32_t kDesignWidth = 423;
constexpr int32_t kDesignHeight = 350;

}  // namespace

TfrmScrn::TfrmScrn(TPlatform& platform, TPasswordCheck passwordCheck)
    : FPlatform(platform), FApplication(platform.Application()), FPasswordCheck(passwordCheck) {
  FWindow = FPlatform.CreateFormWindow(*this);
  FWindow->SetColor(clBtnFace);
  FWindow->SetBounds((FPlatform.Screen().Width() - kDesignWidth) / 2,
                     (FPlatform.Screen().Height() - kDesignHeight) / 2, kDesignWidth,
                     kDesignHeight);

  FPShow = std::make_unique<TPicShow>(FApplication, *FWindow);
  FPShow->SetAlign(TAlign::alClient);
  FPShow->SetCenter(true);
  FPShow->SetStretch(true);
  FPShow->SetThreaded(false);
  FPShow->OnMouseMove = [this](TCustomPicShow&, int32_t x, int32_t y) {
    Handle([&] { FormMouseMove(0, x, y); });
  };
  FPShow->OnMouseDown = [this](TCustomPicShow&, TMouseButton button, int32_t x, int32_t y) {
    Handle([&] { FormMouseDown(button, 0, x, y); });
  };

  FmpSaver = FPlatform.CreateMediaPlayer();

  // The parts run their handlers inside the window's error boundary.
  const THandlerGuard guard = [this](const std::function<void()>& handler) { Handle(handler); };
  FMovies = std::make_unique<TMoviePlayback>(TMoviePlayback::TContext{
      .Application = FApplication,
      .Screen = FPlatform.Screen(),
      .System = FPlatform.System(),
      .Window = *FWindow,
      .CreatePlayer = [this] { return FPlatform.CreateMoviePlayer(*FWindow); },
      .CreateVideoPlayer =
          [this] {
            TMovieMouse mouse{
                .Move = [this](int32_t x, int32_t y) { Handle([&] { FormMouseMove(0, x, y); }); },
                .Down = [this](TMouseButton button, int32_t x,
                               int32_t y) { Handle([&] { FormMouseDown(button, 0, x, y); }); },
            };
            return FPlatform.CreateVideoPlayer(*FWindow, !FSettings.lMute(), std::move(mouse));
          },
      // The movie shows on the other monitors when the pictures do; else they stay black.
      .Mirrors =
          [this] { return FEveryMonitor ? FViews->MovieMirrors() : std::vector<TMovieMirror>{}; },
      .Pictures = *FPShow,
      .Settings = FSettings,
      .Media = FMediaFolder,
      .Guard = guard,
      .Halt = [this] { Halt(); },
  });
  FPlaylist = std::make_unique<TSoundPlaylist>(TSoundPlaylist::TContext{
      .Application = FApplication,
      .Player = *FmpSaver,
      .Settings = FSettings,
      .Media = FMediaFolder,
      .Guard = guard,
  });
  FScheduler = std::make_unique<TSlideScheduler>(TSlideScheduler::TContext{
      .Application = FApplication,
      .Screen = FPlatform.Screen(),
      .Text = FPlatform.Text(),
      .Pictures = *FPShow,
      .Settings = FSettings,
      .Guard = guard,
      .HideMovie = [this] { FMovies->HideFlash(); },
      .MoviesTakeOver = [this] { FMovies->TakeOver(); },
      .EndShow = [this] { Halt(); },
      .ShowOver = [this] { return Ended(); },
      .Followers = [this] { return FViews->Followers(); },
  });
  FViews = std::make_unique<TMonitorViews>(TMonitorViews::TContext{
      .Platform = FPlatform,
      .Input = [this] { Handle([this] { RequestClose(); }); },
      .MouseMove = [this](TPoint desk) { Handle([&] { DeskMouseMove(desk); }); },
      .CloseRequest = [this] { FormCloseRequest(); },
  });
}

TfrmScrn::~TfrmScrn() {
  *FAlive = false;
  FormDestroy();
  // The picture control leaves the window before the window goes, and the scheduler lets go of
  // it (and of the other monitors' controls) first.
  FScheduler.reset();
  FViews.reset();
  FPShow.reset();
}

void TfrmScrn::Show() {
  FWindow->SetVisible(true);
}

template <typename F>
void TfrmScrn::Handle(F&& handler) {
  try {
    handler();
  } catch (const TProgramHalt&) {
  } catch (const std::exception& e) {
    ReportError(e.what());
  }
}

void TfrmScrn::ReportError(const std::string& message) {
  if (FHalted) return;
  FPlatform.System().MessageBox(FWindow->Handle(), message, "Error", TMsgBoxKind::mbErrorOk);
}

void TfrmScrn::Halt() {
  if (!FHalted) {
    FHalted = true;
    FScheduler->StopSlideTimer();
    FMovies->StopTimerFlash();
    FApplication.SetOnIdle(nullptr);
    // The system must not go on believing a screen saver runs once this one has ended.
    if (FScreenSaverFlagSet) {
      FPlatform.System().SetScreenSaverRunning(false);
      FScreenSaverFlagSet = false;
    }
    if (FPShow->Busy()) FPShow->Stop();
    FApplication.Terminate();
  }
  throw TProgramHalt{};
}

void TfrmScrn::PostToSelf(std::function<void()> fn) {
  std::weak_ptr<bool> alive = FAlive;
  FApplication.Post([alive, fn = std::move(fn)] {
    const auto flag = alive.lock();
    if (flag && *flag) fn();
  });
}

// ---- Life cycle

void TfrmScrn::FormShow() {
  // The show has no task-bar button: the back end makes the window without one.
}

void TfrmScrn::FormActivate() {
  Handle([this] {
    if (!FFirstActivate || FHalted) return;
    // Activation runs once, whatever becomes of it: a later activation (back from the password
    // dialog, a window manager's focus change) must not load the package again.
    FFirstActivate = false;
    bool covers = false;
    try {
      covers = LoadShow();
    } catch (const std::exception&) {
      // No error box in a screen saver: a show that cannot start ends without a word.
      Halt();
    }
    if (covers) CoverTheScreen();
  });
}

bool TfrmScrn::LoadShow() {
  TSystemServices& system = FPlatform.System();

  // 1. The program file, open from here to the window's end: every picture is read from this
  // handle, so a saver rebuilt over the same name while it runs changes nothing under the show.
  FProgram = OpenSelfStream(system.OwnFileToRead());
  // The package trailer; a plain copy of the engine has none, and then nothing happens.
  const TPackageTrailer trailer = ReadPackageTrailer(*FProgram);
  if (!trailer.Ok) return false;

  // 2. The settings. A package whose settings cannot be read ends the show when the message
  // loop regains control; the rest of the activation runs on what was read.
  try {
    ReadShowSettings(*FProgram, trailer.SettingsOffset, &FSettings);
    FScheduler->Start(*FProgram);
  } catch (const std::exception&) {
    FApplication.Terminate();
  }

  // 3. Sounds and movies, into a folder of the show's own. Media that cannot be extracted (no
  // folder can be made, the package's media are refused) are left out and the pictures go on:
  // a sound or movie plays only when its file is in the folder.
  try {
    FMediaFolder.Create(system.TempDir(), system);
    ExtractMediaFiles(FSettings, *FProgram, FMediaFolder.Path());
  } catch (const std::exception&) {
  }

  // 4. The choices stored for this installation: the mute choice (the package's own when it
  // cannot be read) and whether the pictures show on every monitor (they do unless chosen off).
  try {
    TIniFile control(JoinPath(system.SettingsDir(), "CONTROL.INI"));
    FSettings.SetlMute(control.ReadBool("Setup", "mute", FSettings.lMute()));
    FEveryMonitor = control.ReadBool("Setup", "everymonitor", true);
  } catch (const std::exception&) {
  }

  // 5. and 6. Movies, or sound.
  if (FSettings.Ver() == "flash") {
    FMovies->CreateFlashPlayer();
    InstallInputHook();
    if (FSettings.PicCount() == 0) FMovies->PlayNextMovie();
  }
  if (FSettings.Ver() == "photo") FPlaylist->Start();
  return true;
}

void TfrmScrn::CoverTheScreen() {
  // 8. to 14. Cover the screen and start.
  TSystemServices& system = FPlatform.System();
  FWindow->SetColor(clBlack);
  PlaceOnPrimary(FPlatform.Screen().Monitors().front());
  FMouseAnchored = false;
  FApplication.SetOnIdle([this] { AppIdle(); });
  FWindow->SetTopmost();
  system.SetScreenSaverRunning(true);
  FScreenSaverFlagSet = true;
  FPlatform.Screen().ShowCursor(false);
  FWindow->SetVisible(true);
  CoverMonitors();
  FPlatform.Screen().SetOnMonitorsChanged([this] {
    Handle([this] {
      if (!Ended()) CoverMonitors();
    });
  });
}

void TfrmScrn::PlaceOnPrimary(const TMonitor& primary) {
  const TRect& r = primary.Bounds;
  FOrigin = TPoint{r.Left, r.Top};
  FWindow->SetBounds(r.Left, r.Top, r.Width(), r.Height());
}

void TfrmScrn::CoverMonitors() {
  const std::vector<TMonitor> monitors = FPlatform.Screen().Monitors();
  const TRect& primary = monitors.front().Bounds;
  // The windows a movie shows in may go with the change: the movie lets go of them first, and
  // follows the show window and the other monitors' windows as they are afterwards.
  FMovies->LetGoOfMonitors();
  if (TPoint{primary.Left, primary.Top} != FOrigin || primary.Width() != FWindow->ClientWidth() ||
      primary.Height() != FWindow->ClientHeight()) {
    PlaceOnPrimary(monitors.front());
  }
  FViews->Cover(std::vector<TMonitor>(monitors.begin() + 1, monitors.end()), FEveryMonitor);
  FMovies->FollowScreen();
}

void TfrmScrn::AppIdle() {
  // Only until the show has started: a message posted on every idle moment would keep the
  // queue from ever being empty, and the show would spin a core while it waits for the timer.
  if (!FStarted) PostToSelf([this] { Handle([this] { WMShowStart(); }); });
}

void TfrmScrn::WMShowStart() {
  if (FStarted) return;
  FStarted = true;
  FScheduler->ShowNextPicture();
}

void TfrmScrn::WMShowStop() {
  FScheduler->StopSlideTimer();
  RequestClose();
}

void TfrmScrn::FormUserMessage(uint32_t message) {
  Handle([&] {
    if (message == WM_SHOWSTART) WMShowStart();
    if (message == WM_SHOWSTOP) WMShowStop();
  });
}

void TfrmScrn::FormCloseRequest() {
  Handle([this] {
    if (FClosed || FHalted) return;
    FormClose();
  });
}

void TfrmScrn::FormClose() {
  FClosed = true;
  if (FScreenSaverFlagSet) {
    FPlatform.System().SetScreenSaverRunning(false);
    FScreenSaverFlagSet = false;
  }
  FApplication.SetOnIdle(nullptr);
  FWindow->ReleaseCapture();
  FPlatform.Screen().ShowCursor(true);
  // The main form has closed: the message loop ends (a running transition first lets go).
  FScheduler->StopSlideTimer();
  FMovies->StopTimerFlash();
  if (FPShow->Busy()) FPShow->Stop();
  FApplication.Terminate();
}

void TfrmScrn::FormDestroy() {
  // However the show ended, the system must not go on believing a screen saver runs.
  if (FScreenSaverFlagSet) {
    FPlatform.System().SetScreenSaverRunning(false);
    FScreenSaverFlagSet = false;
  }
  FPlatform.Screen().SetOnMonitorsChanged(nullptr);
  if (FHook) FHook->Remove();
  FHook.reset();
  // The movie control goes with its playback; the playlist lets go of the sound player first.
  // Both before the media files go: Windows deletes no file a device still holds open.
  FMovies.reset();
  FPlaylist.reset();
  FmpSaver.reset();
  if (FMediaFolder.Exists()) DeleteMediaFiles(FSettings, FMediaFolder.Path());
  FMediaFolder.Remove();
}

// ---- Input

void TfrmScrn::FormKeyDown(uint16_t, TShiftState) {
  Handle([this] { RequestClose(); });
}

void TfrmScrn::FormMouseDown(TMouseButton, TShiftState, int32_t, int32_t) {
  Handle([this] { RequestClose(); });
}

void TfrmScrn::FormMouseMove(TShiftState, int32_t x, int32_t y) {
  Handle([&] { DeskMouseMove(TPoint{FOrigin.X + x, FOrigin.Y + y}); });
}

void TfrmScrn::DeskMouseMove(TPoint desk) {
  if (FMouseIgnoreCount > 0) {
    --FMouseIgnoreCount;
    return;
  }
  if (!FMouseAnchored) {
    FMouseAnchored = true;
    FMouseX = desk.X;
    FMouseY = desk.Y;
    return;
  }
  // Both axes must move more than 2 pixels; small moves add up against the same anchor.
  if (std::abs(desk.X - FMouseX) > 2 && std::abs(desk.Y - FMouseY) > 2) {
    FMouseX = desk.X;
    FMouseY = desk.Y;
    RequestClose();
  }
}

void TfrmScrn::RequestClose() {
  if (FHalted || FClosed) return;
  if (FPasswordCheck == TPasswordCheck::pcNone) {
    FWindow->Close();
    return;
  }
  FMouseIgnoreCount = 5;

  TSystemServices& system = FPlatform.System();
  bool mayEnd = false;
  const TRegistryInteger usePassword = system.ReadDesktopInteger("ScreenSaveUsePassword");
  if (usePassword.Result == TRegistryRead::rrNoKey) {
    mayEnd = true;
  } else {
    FPlatform.Screen().ShowCursor(true);
    try {
      if (usePassword.Result != TRegistryRead::rrValue || usePassword.Value == 0) {
        // 0, or a value that is missing or not an integer: no password to ask for.
        mayEnd = true;
      } else if (std::unique_ptr<TPasswordVerifier> verifier = system.LoadPasswordVerifier()) {
        mayEnd = verifier->Verify(FWindow->Handle());
      } else {
        mayEnd = true;
      }
    } catch (const std::exception&) {
      mayEnd = true;
    }
    FPlatform.Screen().ShowCursor(false);
  }
  if (mayEnd) Halt();
}

// ---- Input hook of movie mode

void TfrmScrn::InstallInputHook() {
  FHook = FPlatform.System().InstallInputHook(
      [this](uint32_t message) { Handle([&] { InputHookProc(message); }); });
  FHookCursorPos = FPlatform.System().CursorPos();
}

void TfrmScrn::InputHookProc(uint32_t message) {
  if (!FHook) return;
  bool counts = message == WM_KEYUP || (message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP);
  if (message == WM_MOUSEMOVE) counts = FPlatform.System().CursorPos() != FHookCursorPos;
  if (!counts) return;
  FHook->Remove();
  // The close path, without the password check.
  FWindow->Close();
}

}  // namespace tovrin
