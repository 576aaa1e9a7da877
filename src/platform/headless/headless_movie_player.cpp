#include "platform/headless/headless_movie_player.h"

#include <algorithm>

#include "core/errors.h"
#include "platform/headless/headless_platform.h"

namespace tovrin {

THeadlessMoviePlayer::~THeadlessMoviePlayer() {
  FPlatform.Forget(*this);
}

void THeadlessMoviePlayer::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  FPlatform.Record("Movie.SetBounds(" + std::to_string(left) + "," + std::to_string(top) + "," +
                   std::to_string(width) + "," + std::to_string(height) + ")");
}

void THeadlessMoviePlayer::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FPlatform.Record(visible ? "Movie.Show" : "Movie.Hide");
  FVisible = visible;
}

void THeadlessMoviePlayer::SetMovie(const std::string& path) {
  FPlatform.Record("Movie.SetMovie(" + path + ")");
  FMovie = path;
  FPlaying = false;
  FStartFrame = 0;
  FTotal = FPlatform.Script().MovieFrames;
}

int32_t THeadlessMoviePlayer::TotalFrames() {
  return FTotal;
}

int32_t THeadlessMoviePlayer::CurrentFrame() {
  const uint32_t frameMs = FPlatform.Script().MovieFrameMs;
  if (!FPlaying || frameMs == 0) return FStartFrame;
  const uint32_t elapsed = FPlatform.App().TickCount() - FPlayStart;
  const int64_t frame = FStartFrame + int64_t{elapsed / frameMs};
  return static_cast<int32_t>(std::min<int64_t>(frame, std::max(0, FTotal - 1)));
}

void THeadlessMoviePlayer::Play() {
  FPlatform.Record("Movie.Play");
  if (FMovie.empty()) throw Exception("No movie loaded");
  FPlaying = true;
  FPlayStart = FPlatform.App().TickCount();
}

void THeadlessMoviePlayer::Stop() {
  FPlatform.Record("Movie.Stop");
  FStartFrame = CurrentFrame();
  FPlaying = false;
}

void THeadlessMoviePlayer::SetFrames(int32_t total, int32_t current) {
  FTotal = total;
  FStartFrame = current;
  FPlayStart = FPlatform.App().TickCount();
}

}  // namespace tovrin
