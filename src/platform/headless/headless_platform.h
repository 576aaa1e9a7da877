// THeadlessPlatform: the off-screen back end. Every piece is deterministic, scriptable from a
// test through THeadlessScript and the objects it hands out, and records what was called, in
// order, in Log() ("ShowCursor(0)", "SetScreenSaverRunning(1)", "Sound.Play(/tmp/x/a.wav)").
//
// Scripted answers (the desktop's password setting, whether the verifier accepts, whether the
// movie control is installed, the message box's answer) are read when the call happens, so a
// test may change them in the middle of a show. Sounds end when the test says so
// (THeadlessMediaPlayer::FinishNow), or, with AutoFinishSounds, when the clock has run for the
// length a WAV file's header gives. Movies advance one frame per FrameMs of the clock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless_application.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"

namespace tovrin {

// Named locks shared by the platforms of one test, standing for the processes of one system.
struct THeadlessLockTable {
  std::set<std::string> Names;
};

struct THeadlessScript {
  int32_t ScreenWidth = 640;
  int32_t ScreenHeight = 480;
  int32_t PixelsPerInch = 96;
  std::string ExeName = "/headless/tovrin.scr";
  std::string TempDir = "/tmp/";
  std::string SettingsDir = "/headless/";

  // ScreenSaveUsePassword of the desktop settings.
  TRegistryInteger UsePassword{TRegistryRead::rrMissing, 0};
  bool VerifierInstalled = true;
  bool VerifierAccepts = true;
  bool PasswordChangerInstalled = true;
  bool InputHookAvailable = true;
  bool MovieControlInstalled = true;
  // Frames of every movie the control loads, and the clock time per frame while it plays.
  int32_t MovieFrames = 50;
  uint32_t MovieFrameMs = 40;
  TModalResult MessageBoxAnswer = TModalResult::mrNo;
  // Extensions (lower case, with the dot) the sound device opens.
  std::set<std::string> SoundKinds{".wav", ".mp3", ".mid", ".midi", ".ogg", ".flac", ".wma"};
  bool AutoFinishSounds = false;
  // The sound device fails every play at once, as a system without a working sound device does:
  // Play returns, and the notification it asked for arrives straight away.
  bool SoundDeviceFails = false;
};

class THeadlessPlatform;

class THeadlessMediaPlayer final : public TMediaPlayer {
 public:
  explicit THeadlessMediaPlayer(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessMediaPlayer() override;
  // The sound that is playing ends now: a notification is queued if the play asked for one.
  void FinishNow();
  bool Playing() const { return FPlaying; }
  const std::string& OpenFile() const { return FOpenFile; }

 protected:
  void DoOpen() override;
  void DoPlay(bool notify) override;
  void DoStop(bool notify) override;

 private:
  void QueueNotify(TMPNotifyValues value);
  THeadlessPlatform& FPlatform;
  std::string FOpenFile;
  bool FPlaying = false;
  bool FPendingNotify = false;
  uint32_t FFinishTimer = 0;
  // Outlives queued notifications: a queued one checks it before touching the player.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class THeadlessMoviePlayer final : public TMoviePlayer {
 public:
  explicit THeadlessMoviePlayer(THeadlessPlatform& platform) : FPlatform(platform) {}
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void SetMovie(const std::string& path) override;
  int32_t TotalFrames() override;
  int32_t CurrentFrame() override;
  void Play() override;
  void Stop() override;
  const std::string& Movie() const { return FMovie; }
  // A test can hold the counters where it likes.
  void SetFrames(int32_t total, int32_t current);

 private:
  THeadlessPlatform& FPlatform;
  std::string FMovie;
  bool FVisible = true;
  bool FPlaying = false;
  uint32_t FPlayStart = 0;
  int32_t FStartFrame = 0;
  int32_t FTotal = 0;
};

class THeadlessSetupView final : public TSetupDialogView {
 public:
  THeadlessSetupView(THeadlessPlatform& platform, TSetupDialogModel& model)
      : FPlatform(platform), FModel(model) {}
  TWindowHandle Handle() const override { return reinterpret_cast<TWindowHandle>(this); }
  void Show() override;
  void Refresh() override;
  void Close() override;
  TSetupDialogModel& Model() { return FModel; }
  bool Showing() const { return FShowing; }
  int RefreshCount() const { return FRefreshCount; }

 private:
  THeadlessPlatform& FPlatform;
  TSetupDialogModel& FModel;
  bool FShowing = false;
  int FRefreshCount = 0;
};

// A window of another program, for previews: its client area is a bitmap.
class THeadlessPreviewWindow {
 public:
  THeadlessPreviewWindow(TRect windowRect, bool visible)
      : Rect(windowRect), Visible(visible), Client(windowRect.Width(), windowRect.Height()) {}
  TRect Rect;
  bool Visible;
  bool Destroyed = false;
  TBitmap Client;
  int DrawCount = 0;
};

class THeadlessPlatform final : public TPlatform {
 public:
  // text draws the captions (the FreeType renderer in the real tools; tests may give their own).
  THeadlessPlatform(THeadlessScript script, TTextRenderer& text,
                    THeadlessApplication::TClockKind clock =
                        THeadlessApplication::TClockKind::ckVirtual,
                    std::shared_ptr<THeadlessLockTable> locks = nullptr);
  ~THeadlessPlatform() override;

  TApplication& Application() override { return FApplication; }
  TScreen& Screen() override { return *FScreen; }
  TSystemServices& System() override { return *FSystem; }
  TTextRenderer& Text() override { return FText; }
  std::unique_ptr<TFormWindow> CreateFormWindow(TFormEvents& events) override;
  std::unique_ptr<TMediaPlayer> CreateMediaPlayer() override;
  std::unique_ptr<TMoviePlayer> CreateMoviePlayer(TFormWindow& parent) override;
  std::unique_ptr<TSetupDialogView> CreateSetupDialog(TSetupDialogModel& model) override;
  std::unique_ptr<TPreviewHost> OpenPreviewHost(TWindowHandle handle) override;

  // ---- For tests and tools
  THeadlessApplication& App() { return FApplication; }
  THeadlessScript& Script() { return FScript; }
  std::vector<std::string>& Log() { return FLog; }
  void Record(std::string call) {
    if (OnRecord) OnRecord(call);
    FLog.push_back(std::move(call));
  }
  // Sees every call as it is recorded (a tool's event log).
  std::function<void(const std::string& call)> OnRecord;
  // The objects made last (nullptr before / after they are destroyed).
  THeadlessWindow* Form() const { return FForm; }
  THeadlessMediaPlayer* Sound() const { return FSound; }
  THeadlessMoviePlayer* Movie() const { return FMovie; }
  THeadlessSetupView* SetupView() const { return FSetupView; }
  // Another program's window, by handle.
  THeadlessPreviewWindow& AddPreviewWindow(TWindowHandle handle, TRect rect, bool visible = true);
  THeadlessPreviewWindow* PreviewWindow(TWindowHandle handle);
  // The screen-saver-running flag and the cursor's display count, as the system holds them.
  bool ScreenSaverRunning() const { return FScreenSaverRunning; }
  int CursorCount() const;
  TCursor CursorShape() const;
  // Where the mouse cursor is (the input hook compares against it).
  void SetCursorPos(TPoint p) { FCursorPos = p; }
  // The installed input hook's procedure receives message now (if a hook is installed).
  bool SendHookInput(uint32_t message);
  bool HookInstalled() const;
  THeadlessLockTable& Locks() { return *FLocks; }

 private:
  friend class THeadlessMediaPlayer;
  friend class THeadlessMoviePlayer;
  friend class THeadlessSetupView;
  friend class THeadlessScreen;
  friend class THeadlessSystem;
  friend class THeadlessFormWindow;
  friend class THeadlessHook;

  THeadlessScript FScript;
  TTextRenderer& FText;
  THeadlessApplication FApplication;
  std::shared_ptr<THeadlessLockTable> FLocks;
  std::vector<std::string> FLog;
  std::unique_ptr<TScreen> FScreen;
  std::unique_ptr<TSystemServices> FSystem;
  THeadlessWindow* FForm = nullptr;
  THeadlessMediaPlayer* FSound = nullptr;
  THeadlessMoviePlayer* FMovie = nullptr;
  THeadlessSetupView* FSetupView = nullptr;
  std::map<TWindowHandle, std::unique_ptr<THeadlessPreviewWindow>> FPreviewWindows;
  bool FScreenSaverRunning = false;
  TPoint FCursorPos;
  // The hook procedure while a hook is installed.
  std::shared_ptr<TInputHookProc> FHook;
};

}  // namespace tovrin
