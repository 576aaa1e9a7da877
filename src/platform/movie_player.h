// TMoviePlayer: the movie control of movie shows, placed over the show window.
//
// The platform creates it (and raises when the control is not installed). Failures of its
// methods arrive as exceptions (Exception).
#pragma once

#include <cstdint>
#include <string>

namespace tovrin {

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
};

}  // namespace tovrin
