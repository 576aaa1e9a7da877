// TSdlPlatform: the Linux back end. SDL2 for windows, input and sound (SDL2_mixer), GTK 3 for
// the setup dialog, XCB for windows of other programs (previews, the screen-saver host's), the
// text renderer the caller gives for captions.
//
// Hosted show: given a host window (XScreenSaver's -window-id or -root), the show's form draws
// into that window at its size, takes no input and no single-instance lock, and leaves the
// cursor and the stacking to the host.
//
// SIGTERM and SIGINT end the program the orderly way: an open message box is answered No, the
// show's form gets a close request (the host closing the window), a setup dialog the close
// button; with neither (a preview) the signal takes its default action.
#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_signals.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_connection.h"

namespace tovrin {

struct TSdlOptions {
  // The window to draw the show into: another program's X11 window (a screen-saver host's).
  // 0: the show has a full-screen window of its own.
  TWindowHandle HostWindow = 0;
  // Draw the show into the root window of the display (HostWindow is then ignored).
  bool HostRootWindow = false;
  // false: there is no sound device (the host asked for silence).
  bool Sound = true;
};

class TSdlScreen;
class TSdlSystemServices;
class TSdlFormWindow;
class TGtkSetupDialog;
class TGtkToolkit;
class TGtkMessageBox;

class TSdlPlatform final : public TPlatform {
 public:
  // Blocks SIGTERM and SIGINT in the calling thread: make the platform first thing in main,
  // before any other thread exists (TSignalBlock).
  TSdlPlatform(TSdlOptions options, TTextRenderer& text);
  ~TSdlPlatform() override;
  TSdlPlatform(const TSdlPlatform&) = delete;
  TSdlPlatform& operator=(const TSdlPlatform&) = delete;

  TApplication& Application() override { return FApplication; }
  TScreen& Screen() override;
  TSystemServices& System() override;
  TTextRenderer& Text() override { return FText; }
  std::unique_ptr<TFormWindow> CreateFormWindow(TFormEvents& events) override;
  std::unique_ptr<TMediaPlayer> CreateMediaPlayer() override;
  // The old movie control does not exist on Linux: always raises.
  std::unique_ptr<TMoviePlayer> CreateMoviePlayer(TFormWindow& parent) override;
  // The video player, with its sound on an SDL audio device of its own (silent when the options
  // or sound say so, or when no device opens).
  std::unique_ptr<TMoviePlayer> CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                  TMovieMouse mouse) override;
  std::unique_ptr<TSetupDialogView> CreateSetupDialog(TSetupDialogModel& model) override;
  std::unique_ptr<TPreviewHost> OpenPreviewHost(TWindowHandle handle) override;

  TSdlApplication& App() { return FApplication; }
  // The host window of a hosted show (0 when the show has its own window).
  TWindowHandle HostWindow();

 private:
  TX11Connection& X11();
  TGtkToolkit& Gtk();
  TModalResult ShowMessageBox(TWindowHandle owner, const std::string& text,
                              const std::string& caption, TMsgBoxKind kind);
  void OnSignal(int signal);

  TSdlOptions FOptions;
  TTextRenderer& FText;
  TSignalBlock FSignals;
  TSdlApplication FApplication;
  TSdlVideo FVideo;
  std::unique_ptr<TX11Connection> FX11;
  std::unique_ptr<TGtkToolkit> FGtk;
  std::optional<TWindowHandle> FHostWindow;
  std::unique_ptr<TSdlScreen> FScreen;
  std::unique_ptr<TSdlSystemServices> FSystem;
  // What a signal closes; cleared when those go away.
  TSdlFormWindow* FForm = nullptr;
  TSetupDialogModel* FSetupModel = nullptr;
  TGtkMessageBox* FMessageBox = nullptr;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
