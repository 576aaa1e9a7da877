// THeadlessVideoPlayer: the headless back end's video player, the portable one (video/) on the
// platform's clock, with its calls recorded in the platform's log ("Video.SetMovie(/tmp/x/a.mp4)",
// "Video.Play", "Video.Stop", "Video.SetMirrors(2)") as the other pieces record theirs. Its sound
// goes nowhere and is counted (THeadlessPlatform::VideoSoundFrames).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/movie_player.h"
#include "platform/video/video_player.h"

namespace tovrin {

class THeadlessPlatform;

class THeadlessVideoPlayer final : public TMoviePlayer {
 public:
  THeadlessVideoPlayer(THeadlessPlatform& platform, THostWindow& parent, bool sound,
                       TMovieMouse mouse);
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override {
    FPlayer.SetBounds(left, top, width, height);
  }
  void SetVisible(bool visible) override { FPlayer.SetVisible(visible); }
  bool Visible() const override { return FPlayer.Visible(); }
  void SetMovie(const std::string& path) override;
  int32_t TotalFrames() override { return FPlayer.TotalFrames(); }
  int32_t CurrentFrame() override { return FPlayer.CurrentFrame(); }
  void Play() override;
  void Stop() override;
  void SetMirrors(const std::vector<TMovieMirror>& mirrors) override;
  const TVideoPlayer& Player() const { return FPlayer; }

 private:
  THeadlessPlatform& FPlatform;
  TVideoPlayer FPlayer;
};

}  // namespace tovrin
