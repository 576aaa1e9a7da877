// TMonitorViews: the show on the desk's monitors other than the primary one.
//
// The show window covers the primary monitor; each other monitor gets a black window of its own
// and, when the pictures are to be on every monitor, a picture control in it that follows the
// show's transitions: the same picture and style, composed at that monitor's size, one frame for
// each frame of the show window (the scheduler drives them; see Followers). Without pictures
// the other monitors stay black, so nothing of the desktop shows anywhere.
//
// Cover lays the windows over a new list of monitors as it comes (at the start, and whenever the
// desk changes during the show): windows still needed keep their place in the list and their
// picture control; a monitor that has gone takes its window with it; a monitor that came is black
// until the next picture.
//
// Input on any of the windows is handed on in desktop coordinates. Main thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/rect.h"
#include "picshow/custom_pic_show.h"
#include "platform/movie_player.h"
#include "platform/platform.h"

namespace tovrin {

class TMonitorViews {
 public:
  struct TContext {
    TPlatform& Platform;
    // Input on the other monitors: a key or a button goes down, the mouse moves (desktop
    // coordinates), the system asks a window to close.
    std::function<void()> Input;
    std::function<void(TPoint desk)> MouseMove;
    std::function<void()> CloseRequest;
  };

  explicit TMonitorViews(TContext context);
  ~TMonitorViews();
  TMonitorViews(const TMonitorViews&) = delete;
  TMonitorViews& operator=(const TMonitorViews&) = delete;

  // One window on each of monitors (the monitors other than the primary one), in that order,
  // visible, topmost and black; with pictures, each holds a picture control.
  void Cover(const std::vector<TMonitor>& monitors, bool pictures);
  // Every window goes.
  void Remove();

  // The picture controls that follow the show window's transitions, one per monitor that shows
  // pictures. Valid until the next Cover or Remove.
  std::vector<TCustomPicShow*> Followers() const;
  // The windows, for a movie to show in too (each with its input handed on as the window's own).
  // Valid until the next Cover or Remove.
  std::vector<TMovieMirror> MovieMirrors() const;
  size_t Count() const { return FViews.size(); }
  // The window on the i-th other monitor.
  TFormWindow& Window(size_t i) const;

 private:
  class TView;

  TContext FContext;
  std::vector<std::unique_ptr<TView>> FViews;
};

}  // namespace tovrin
