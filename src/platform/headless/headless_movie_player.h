// THeadlessMoviePlayer: the headless back end's movie control. It decodes nothing: a movie has
// the script's MovieFrames frames, and while it plays the current frame advances one per
// MovieFrameMs of the application's clock, stopping at the last. Calls are recorded in the
// platform's log ("Movie.SetMovie(/tmp/x/m.avi)", "Movie.Play").
#pragma once

#include <cstdint>
#include <string>

#include "platform/movie_player.h"

namespace tovrin {

class THeadlessPlatform;

class THeadlessMoviePlayer final : public TMoviePlayer {
 public:
  explicit THeadlessMoviePlayer(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessMoviePlayer() override;
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void SetMovie(const std::string& path) override;
  int32_t TotalFrames() override;
  int32_t CurrentFrame() override;
  void Play() override;
  void Stop() override;
  const std::string& Movie() const { return FMovie; }
  // A test can hold the counters where it likes.
  void SetFrames(int32_t total, int32_t current);

 private:
  THeadlessPlatform& FPlatform;
  std::string FMovie;
  bool FVisible = true;
  bool FPlaying = false;
  uint32_t FPlayStart = 0;
  int32_t FStartFrame = 0;
  int32_t FTotal = 0;
};

}  // namespace tovrin
