#include "platform/win32/win32_platform.h"

#include "core/errors.h"
#include "platform/video/video_player.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_media_player.h"
#include "platform/win32/win32_movie_player.h"
#include "platform/win32/win32_preview_host.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_setup_dialog.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_video_audio.h"

namespace tovrin {

TWin32Platform::TWin32Platform()
    : FApplication(std::make_unique<TWin32Application>()),
      FScreen(std::make_unique<TWin32Screen>(*FApplication)),
      FSystem(std::make_unique<TWin32System>(*FApplication)),
      FText(std::make_unique<TWin32TextRenderer>()) {}

TWin32Platform::~TWin32Platform() = default;

TApplication& TWin32Platform::Application() {
  return *FApplication;
}

TScreen& TWin32Platform::Screen() {
  return *FScreen;
}

TSystemServices& TWin32Platform::System() {
  return *FSystem;
}

TTextRenderer& TWin32Platform::Text() {
  return *FText;
}

// A form, a sound, a movie or the setup dialog is the first need of a mode for the application's
// window and OLE: those are made here, and a mode that needs none of them never makes them.

std::unique_ptr<TFormWindow> TWin32Platform::CreateFormWindow(TFormEvents& events) {
  FApplication->Initialize();
  return std::make_unique<TWin32FormWindow>(*FApplication, *FScreen, events);
}

std::unique_ptr<TMediaPlayer> TWin32Platform::CreateMediaPlayer() {
  FApplication->Initialize();
  return std::make_unique<TWin32MediaPlayer>(*FApplication);
}

std::unique_ptr<TMoviePlayer> TWin32Platform::CreateMoviePlayer(TFormWindow& parent) {
  FApplication->Initialize();
  return std::make_unique<TWin32MoviePlayer>(reinterpret_cast<HWND>(parent.Handle()),
                                             CLSID_MovieControl);
}

std::unique_ptr<TMoviePlayer> TWin32Platform::CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                                TMovieMouse mouse) {
  FApplication->Initialize();
  std::unique_ptr<TAudioSink> audio;
  if (sound) {
    try {
      audio = std::make_unique<TWin32VideoAudio>(FApplication->Winmm());
    } catch (const Exception&) {
      // No sound device: the movies play silent.
    }
  }
  return std::make_unique<TVideoPlayer>(*FApplication, parent, std::move(audio), std::move(mouse));
}

std::unique_ptr<TSetupDialogView> TWin32Platform::CreateSetupDialog(TSetupDialogModel& model) {
  FApplication->Initialize();
  return std::make_unique<TWin32SetupDialog>(*FApplication, *FScreen, model);
}

std::unique_ptr<TPreviewHost> TWin32Platform::OpenPreviewHost(TWindowHandle handle) {
  HWND window = reinterpret_cast<HWND>(handle);
  if (handle == 0 || !IsWindow(window)) return nullptr;
  // Drawing into another process's window reaches the screen (under Wine at least) only once
  // this process has a window of its own: a preview with a real host needs the application's.
  FApplication->Initialize();
  return std::make_unique<TWin32PreviewHost>(window);
}

}  // namespace tovrin
