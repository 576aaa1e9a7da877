// TPlatform: everything the engine needs from an operating system, grouped by area. A back end
// (headless/, win32/, sdl/) implements it; the entry routine, the show window and the setup dialog
// are written against it alone.
//
// A new back end's checklist, by area, with the header of this folder that holds each:
//   application and timers  application.h (TApplication: the tick count, the message pump,
//                           posting, Synchronize, timers; timer.h and thread.h build TTimer and
//                           TThread on it for every back end)
//   form window and input   form_window.h (TFormWindow, TFormEvents: the show's window, keys and
//                           mouse), host_window.h (the windowless controls it hosts), canvas.h
//                           and canvas_lock.h (the surface they paint on)
//   screen                  screen.h (TScreen: the primary screen's size, the mouse cursor)
//   system services         system_services.h (TSystemServices: paths, the screen-saver flag,
//                           the password verifier and changer, the instance lock, message boxes,
//                           the shell, the input hook)
//   media player            media_player.h (TMediaPlayer: sounds)
//   movie player            movie_player.h (TMoviePlayer: the movie control and the video
//                           player; video/ holds a portable video player)
//   text                    text_renderer.h (TTextRenderer: caption text)
//   dialogs                 setup_dialog.h (TSetupDialogView, rendering a TSetupDialogModel),
//                           preview_host.h (TPreviewHost: another program's window, for previews)
// What back ends share is in common/ (TQueuedApplication, TMessageQueue, TTimerSet,
// THostedControls, TActivationGuard); the layers above never include it.
#pragma once

#include <memory>

#include "platform/application.h"
#include "platform/form_window.h"
#include "platform/media_player.h"
#include "platform/movie_player.h"
#include "platform/preview_host.h"
#include "platform/screen.h"
#include "platform/setup_dialog.h"
#include "platform/system_services.h"
#include "platform/text_renderer.h"

namespace tovrin {

class TPlatform {
 public:
  virtual ~TPlatform() = default;

  virtual TApplication& Application() = 0;
  virtual TScreen& Screen() = 0;
  virtual TSystemServices& System() = 0;
  virtual TTextRenderer& Text() = 0;

  // A hidden, borderless top-level window whose events go to events.
  virtual std::unique_ptr<TFormWindow> CreateFormWindow(TFormEvents& events) = 0;
  // The sound player; its notifications arrive through the application's queue.
  virtual std::unique_ptr<TMediaPlayer> CreateMediaPlayer() = 0;
  // The movie control over parent, at (0, 0), visible; raises (Exception) when the control is
  // not installed.
  virtual std::unique_ptr<TMoviePlayer> CreateMoviePlayer(TFormWindow& parent) = 0;
  // The video player over parent, visible; its sound plays unless sound is false; mouse receives
  // the mouse input over it. Raises (Exception) when this build has no video player.
  virtual std::unique_ptr<TMoviePlayer> CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                          TMovieMouse mouse) = 0;
  // The dialog window rendering model, not yet shown.
  virtual std::unique_ptr<TSetupDialogView> CreateSetupDialog(TSetupDialogModel& model) = 0;
  // The window with that handle, for drawing a preview; nullptr when there is no such window.
  virtual std::unique_ptr<TPreviewHost> OpenPreviewHost(TWindowHandle handle) = 0;
};

}  // namespace tovrin
