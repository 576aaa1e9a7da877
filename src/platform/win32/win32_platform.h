// TWin32Platform: the Win32 back end of TPlatform, for the real screen saver. The calling thread
// becomes the main thread; OLE and the application's hidden window are set up with the first
// form, sound, movie or setup dialog (so the modes that need none create no window). It must
// outlive every object it hands out.
//
// This header is free of <windows.h>, so the program's entry can create the back end.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace tovrin {

// Makes the system folder the only place where this process looks for a library named without
// a path (SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)), so that nothing lying beside
// the program is loaded by name later (the multimedia device drivers, what COM and the shell
// load). The program calls it first thing at start. False when the system has no such call
// (Windows 7 without update KB2533623); the back end loads its own libraries by full path in the
// system folder either way (win32_libraries.h).
bool RestrictLibrarySearchToSystemFolder();

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
  // The video player (FFmpeg's libraries, linked in), its sound on the wave output device when
  // sound is true and a device opens.
  std::unique_ptr<TMoviePlayer> CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                  TMovieMouse mouse) override;
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
