// TMoviePlayer: the movie control of movie shows, placed over the show window.
//
// The platform creates it (and raises when the control is not installed). Failures of its
// methods arrive as exceptions (Exception). Two kinds exist: the old movie control for .swf
// movies, and the video player, which plays video files and draws in the show window itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/host_window.h"

namespace tovrin {

// Whether a movie file goes to the old movie control (.swf, any case) rather than to the video
// player.
bool IsOldControlMovie(const std::string& fileName);

// Mouse input over a movie control that draws in its parent window, in the parent's client
// coordinates (the show ends on it as on input over the window itself).
struct TMovieMouse {
  std::function<void(int32_t x, int32_t y)> Move;
  std::function<void(TMouseButton button, int32_t x, int32_t y)> Down;
};

// A further window the movie shows in (filling it), with the mouse input over it in its own
// client coordinates.
struct TMovieMirror {
  THostWindow* Window = nullptr;
  TMovieMouse Mouse;
};

class TMoviePlayer {
 public:
  virtual ~TMoviePlayer() = default;

  virtual void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;

  // Loads the movie file at path.
  virtual void SetMovie(const std::string& path) = 0;
  // Number of frames of the loaded movie.
  virtual int32_t TotalFrames() = 0;
  // The frame being shown, counted from 0.
  virtual int32_t CurrentFrame() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Shows the movie in each of mirrors too, in place of the mirrors given before; the windows
  // must outlive the player or the next call. A player that cannot do so leaves them as they are
  // (the old movie control: those monitors stay black).
  virtual void SetMirrors(const std::vector<TMovieMirror>& mirrors) { (void)mirrors; }
};

}  // namespace tovrin
