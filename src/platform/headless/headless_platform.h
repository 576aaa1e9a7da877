// THeadlessPlatform: the off-screen back end. Every piece is deterministic, scriptable from a
// test through THeadlessScript and the objects it hands out, and records what was called, in
// order, in Log() ("ShowCursor(0)", "SetScreenSaverRunning(1)", "Sound.Play(/tmp/x/a.wav)").
//
// Scripted answers (the desktop's password setting, whether the verifier accepts, whether the
// movie control is installed, the message box's answer) are read when the call happens, so a
// test may change them in the middle of a show. Sounds end when the test says so
// (THeadlessMediaPlayer::FinishNow), or, with AutoFinishSounds, when the clock has run for the
// length a WAV file's header gives. Movies advance one frame per FrameMs of the clock.
//
// The pieces, one file each as in the other back ends: headless_application (the clock and the
// message pump), headless_window (the form window), headless_screen, headless_system (system
// services, password verifier and changer, instance lock, input hook), headless_media_player,
// headless_movie_player, headless_setup_dialog, headless_preview_host. This header is the
// factory and includes them all, since it hands them out.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless_application.h"
#include "platform/headless/headless_media_player.h"
#include "platform/headless/headless_movie_player.h"
#include "platform/headless/headless_preview_host.h"
#include "platform/headless/headless_screen.h"
#include "platform/headless/headless_setup_dialog.h"
#include "platform/headless/headless_system.h"
#include "platform/headless/headless_window.h"
#include "platform/platform.h"

namespace tovrin {

struct THeadlessScript {
  int32_t ScreenWidth = 640;
  int32_t ScreenHeight = 480;
  // The desk's monitors in desktop pixels, the primary first; empty: one monitor of ScreenWidth x
  // ScreenHeight at 0, 0.
  std::vector<TRect> Monitors;
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
  bool VideoPlayerInstalled = true;
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

  // The system's processes, as the show sees them when it looks for folders that earlier shows
  // left behind: this process's id (0: the real process's, so that a real show sharing the
  // temporary directory sees a live owner), the start times of processes that run, and the ids
  // of processes that have ended. Any other id runs with an unknown start time, so that by
  // default nothing counts as left behind.
  int64_t ProcessId = 0;
  std::map<int64_t, uint64_t> ProcessStarts;
  std::set<int64_t> EndedProcesses;
};

class THeadlessPlatform final : public TPlatform {
 public:
  // text draws the captions (the FreeType renderer in the real tools; tests may give their own).
  // Platforms given the same locks see each other's instance locks.
  THeadlessPlatform(
      THeadlessScript script, TTextRenderer& text,
      THeadlessApplication::TClockKind clock = THeadlessApplication::TClockKind::ckVirtual,
      std::shared_ptr<THeadlessLockTable> locks = nullptr);
  ~THeadlessPlatform() override;

  TApplication& Application() override { return FApplication; }
  TScreen& Screen() override { return FScreen; }
  TSystemServices& System() override { return FSystem; }
  TTextRenderer& Text() override { return FText; }
  std::unique_ptr<TFormWindow> CreateFormWindow(TFormEvents& events) override;
  std::unique_ptr<TMediaPlayer> CreateMediaPlayer() override;
  std::unique_ptr<TMoviePlayer> CreateMoviePlayer(TFormWindow& parent) override;
  // The video player (headless_video_player.h) where this build has one; raises otherwise.
  std::unique_ptr<TMoviePlayer> CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                  TMovieMouse mouse) override;
  std::unique_ptr<TSetupDialogView> CreateSetupDialog(TSetupDialogModel& model) override;
  std::unique_ptr<TPreviewHost> OpenPreviewHost(TWindowHandle handle) override;

  // ---- For tests, tools and the pieces of this back end
  THeadlessApplication& App() { return FApplication; }
  THeadlessScript& Script() { return FScript; }
  std::vector<std::string>& Log() { return FLog; }
  void Record(std::string call) {
    if (OnRecord) OnRecord(call);
    FLog.push_back(std::move(call));
  }
  // A flag as the log writes it: "1" or "0".
  static std::string Flag(bool value) { return value ? "1" : "0"; }
  // Sees every call as it is recorded (a tool's event log).
  std::function<void(const std::string& call)> OnRecord;
  // The form windows alive, in the order they were made; Form() is the first of them (the show's
  // own window, made before those of the other monitors), nullptr when there is none.
  const std::vector<THeadlessWindow*>& Forms() const { return FForms; }
  THeadlessWindow* Form() const { return FForms.empty() ? nullptr : FForms.front(); }
  // What the desk shows: every visible form window at its place, over black, in an image of the
  // monitors' bounding box (its top left corner is the leftmost and topmost monitor's).
  TBitmap DeskImage() const;
  // The objects made last (nullptr before / after they are destroyed).
  THeadlessMediaPlayer* Sound() const { return FSound; }
  THeadlessMoviePlayer* Movie() const { return FMovie; }
  THeadlessSetupView* SetupView() const { return FSetupView; }
  // Sample frames of sound the video players have been given.
  uint64_t VideoSoundFrames() const { return *FVideoSoundFrames; }
  // Another program's window, by handle.
  THeadlessPreviewWindow& AddPreviewWindow(TWindowHandle handle, TRect rect, bool visible = true);
  THeadlessPreviewWindow* PreviewWindow(TWindowHandle handle);
  // The screen-saver-running flag and the cursor's display count, as the system holds them.
  bool ScreenSaverRunning() const { return FSystem.ScreenSaverRunning(); }
  int CursorCount() const { return FScreen.Count(); }
  TCursor CursorShape() const { return FScreen.Cursor(); }
  // The desk's monitors change (the show hears of it from the message loop).
  void ChangeMonitors(std::vector<TRect> monitors) { FScreen.ChangeMonitors(std::move(monitors)); }
  // Where the mouse cursor is (the input hook compares against it).
  void SetCursorPos(TPoint p) { FSystem.SetCursorPos(p); }
  // The installed input hook's procedure receives message now (if a hook is installed).
  bool SendHookInput(uint32_t message) { return FSystem.SendHookInput(message); }
  bool HookInstalled() const { return FSystem.HookInstalled(); }
  THeadlessLockTable& Locks() { return FSystem.Locks(); }

 private:
  // The form window CreateFormWindow makes.
  class TForm;
  friend class THeadlessMediaPlayer;
  friend class THeadlessMoviePlayer;
  friend class THeadlessSetupView;
  friend class THeadlessVideoPlayer;

  // A piece that is being destroyed stops being the one made last.
  void Forget(const THeadlessMediaPlayer& player) {
    if (FSound == &player) FSound = nullptr;
  }
  void Forget(const THeadlessWindow& form) { std::erase(FForms, &form); }
  void Forget(const THeadlessMoviePlayer& player) {
    if (FMovie == &player) FMovie = nullptr;
  }
  void Forget(const THeadlessSetupView& view) {
    if (FSetupView == &view) FSetupView = nullptr;
  }

  THeadlessScript FScript;
  TTextRenderer& FText;
  THeadlessApplication FApplication;
  std::vector<std::string> FLog;
  THeadlessScreen FScreen{*this};
  THeadlessSystem FSystem;
  std::vector<THeadlessWindow*> FForms;
  THeadlessMediaPlayer* FSound = nullptr;
  THeadlessMoviePlayer* FMovie = nullptr;
  THeadlessSetupView* FSetupView = nullptr;
  std::shared_ptr<uint64_t> FVideoSoundFrames = std::make_shared<uint64_t>(0);
  std::map<TWindowHandle, std::unique_ptr<THeadlessPreviewWindow>> FPreviewWindows;
};

}  // namespace tovrin
