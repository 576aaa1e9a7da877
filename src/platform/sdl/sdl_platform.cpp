#include "platform/sdl/sdl_platform.h"

#include <pthread.h>
#include <signal.h>

#include <cstdio>

#include "core/errors.h"
#include "platform/sdl/gtk_message_box.h"
#include "platform/sdl/gtk_setup_dialog.h"
#include "platform/sdl/gtk_toolkit.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_form_window.h"
#include "platform/sdl/sdl_screen.h"
#include "platform/sdl/sdl_system.h"
#include "platform/sdl/sdl_video_audio.h"
#include "platform/sdl/x11_preview_host.h"
#include "platform/video/video_player.h"

namespace tovrin {

TSdlPlatform::TSdlPlatform(TSdlOptions options, TTextRenderer& text)
    : FOptions(options), FText(text), FApplication(FSignals.Fd()), FVideo(FApplication) {
  FApplication.OnSignal = [this](int signal) { OnSignal(signal); };
}

TSdlPlatform::~TSdlPlatform() {
  *FAlive = false;
  FApplication.OnSignal = nullptr;
}

TGtkToolkit& TSdlPlatform::Gtk() {
  if (!FGtk) FGtk = std::make_unique<TGtkToolkit>(FApplication);
  return *FGtk;
}

TModalResult TSdlPlatform::ShowMessageBox(TWindowHandle owner, const std::string& text,
                                          const std::string& caption, TMsgBoxKind kind) {
  TGtkToolkit* toolkit = nullptr;
  try {
    toolkit = &Gtk();
  } catch (const Exception& e) {
    // No GTK to draw the box (not installed, or the display refuses it): the text goes to the
    // error output and the box answers as if closed. A Yes/No question then answers No, so
    // nothing the user was asked about (a download page opening) happens unasked.
    std::fprintf(stderr, "%s: %s (%s)\n", caption.c_str(), text.c_str(), e.what());
    return kind == TMsgBoxKind::mbInformationYesNo ? TModalResult::mrNo : TModalResult::mrOk;
  }
  TGtkMessageBox box(*toolkit, owner, text, caption, kind);
  TGtkMessageBox* outer = FMessageBox;
  FMessageBox = &box;
  FVideo.EnterModal();
  TModalResult result = TModalResult::mrNone;
  try {
    result = box.Run();
  } catch (...) {
    FVideo.LeaveModal();
    FMessageBox = outer;
    throw;
  }
  FVideo.LeaveModal();
  FMessageBox = outer;
  return result;
}

TX11Connection& TSdlPlatform::X11() {
  if (!FX11) FX11 = std::make_unique<TX11Connection>();
  return *FX11;
}

TWindowHandle TSdlPlatform::HostWindow() {
  if (!FHostWindow) {
    TWindowHandle host = FOptions.HostWindow;
    if (FOptions.HostRootWindow) host = X11().RootWindow();
    if (host != 0 && !X11().WindowState(static_cast<uint32_t>(host)).Exists) {
      throw Exception("The host window does not exist");
    }
    FHostWindow = host;
  }
  return *FHostWindow;
}

TScreen& TSdlPlatform::Screen() {
  if (!FScreen) {
    FScreen = std::make_unique<TSdlScreen>(
        FApplication, FVideo, [this]() -> TX11Connection& { return X11(); }, HostWindow());
  }
  return *FScreen;
}

TSystemServices& TSdlPlatform::System() {
  if (!FSystem) {
    const bool hosted = FOptions.HostRootWindow || FOptions.HostWindow != 0;
    FSystem = std::make_unique<TSdlSystemServices>(
        FVideo, hosted,
        [this](TWindowHandle owner, const std::string& text, const std::string& caption,
               TMsgBoxKind kind) { return ShowMessageBox(owner, text, caption, kind); });
  }
  return *FSystem;
}

std::unique_ptr<TFormWindow> TSdlPlatform::CreateFormWindow(TFormEvents& events) {
  auto window = std::make_unique<TSdlFormWindow>(FVideo, FApplication, events, HostWindow());
  TSdlFormWindow* raw = window.get();
  // The first form window alive is the show's own (more are its windows on the other monitors):
  // it keeps the keyboard, and a signal closes it.
  if (FForm) {
    window->SetTakesFocus(false);
    return window;
  }
  FForm = raw;
  std::weak_ptr<bool> alive = FAlive;
  window->OnDestroy = [this, alive, raw] {
    const auto flag = alive.lock();
    if (flag && *flag && FForm == raw) FForm = nullptr;
  };
  return window;
}

std::unique_ptr<TMediaPlayer> TSdlPlatform::CreateMediaPlayer() {
  return std::make_unique<TSdlMediaPlayer>(FApplication, FOptions.Sound);
}

std::unique_ptr<TMoviePlayer> TSdlPlatform::CreateMoviePlayer(TFormWindow&) {
  throw Exception("No player for these movies is installed on this system");
}

std::unique_ptr<TMoviePlayer> TSdlPlatform::CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                              TMovieMouse mouse) {
  std::unique_ptr<TAudioSink> audio;
  if (sound && FOptions.Sound) {
    try {
      audio = std::make_unique<TSdlVideoAudio>();
    } catch (const Exception&) {
      // No sound device: the movies play silent.
    }
  }
  return std::make_unique<TVideoPlayer>(FApplication, parent, std::move(audio), std::move(mouse));
}

std::unique_ptr<TSetupDialogView> TSdlPlatform::CreateSetupDialog(TSetupDialogModel& model) {
  auto view = std::make_unique<TGtkSetupDialog>(Gtk(), model, Screen().PixelsPerInch());
  FSetupModel = &model;
  std::weak_ptr<bool> alive = FAlive;
  TSetupDialogModel* raw = &model;
  view->OnDestroy = [this, alive, raw] {
    const auto flag = alive.lock();
    if (flag && *flag && FSetupModel == raw) FSetupModel = nullptr;
  };
  return view;
}

std::unique_ptr<TPreviewHost> TSdlPlatform::OpenPreviewHost(TWindowHandle handle) {
  if (handle == 0 || handle > UINT32_MAX) return nullptr;
  TX11Connection& x11 = X11();
  if (!x11.WindowState(static_cast<uint32_t>(handle)).Exists) return nullptr;
  return std::make_unique<TX11PreviewHost>(x11, static_cast<uint32_t>(handle));
}

void TSdlPlatform::OnSignal(int signal) {
  if (FMessageBox) FMessageBox->Cancel();
  if (FForm) {
    FForm->Close();
  } else if (FSetupModel) {
    FSetupModel->CloseRequest();
  } else {
    // Nothing of ours to close in order (a preview, or a show not yet made or already gone):
    // the signal does what it does to any program.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigaction(signal, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(signal);
  }
}

}  // namespace tovrin
