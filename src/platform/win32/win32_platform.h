// TWin32Platform: the Win32 back end of TPlatform, for the real screen saver. Creating it
// initialises OLE on the calling thread (the main thread) and sets up the application's hidden
// window; it must outlive every object it hands out.
//
// This header is free of <windows.h>, so the program's entry can create the back end.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace tovrin {

class TWin32Application;
class TWin32Screen;
class TWin32System;
class TWin32TextRenderer;

class TWin32Platform final : public TPlatform {
 public:
  TWin32Platform();
  ~TWin32Platform() override;
  TWin32Platform(const TWin32Platform&) = delete;
  TWin32Platform& operator=(const TWin32Platform&) = delete;

  TApplication& Application() override;
  TScreen& Screen() override;
  TSystemServices& System() override;
  TTextRenderer& Text() override;
  std::unique_ptr<TFormWindow> CreateFormWindow(TFormEvents& events) override;
  std::unique_ptr<TMediaPlayer> CreateMediaPlayer() override;
  // The movie control (its class identifier CLSID_MovieControl).
  std::unique_ptr<TMoviePlayer> CreateMoviePlayer(TFormWindow& parent) override;
  std::unique_ptr<TSetupDialogView> CreateSetupDialog(TSetupDialogModel& model) override;
  std::unique_ptr<TPreviewHost> OpenPreviewHost(TWindowHandle handle) override;

  TWin32Application& App() { return *FApplication; }

 private:
  std::unique_ptr<TWin32Application> FApplication;
  std::unique_ptr<TWin32Screen> FScreen;
  std::unique_ptr<TWin32System> FSystem;
  std::unique_ptr<TWin32TextRenderer> FText;
};

}  // namespace tovrin
