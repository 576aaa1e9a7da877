#include "platform/headless/headless_video_player.h"

#include <string>
#include <utility>

#include "platform/headless/headless_platform.h"

namespace tovrin {

namespace {

// A sound device that plays what it is given at once, counting it.
class THeadlessVideoAudio final : public TAudioSink {
 public:
  explicit THeadlessVideoAudio(std::shared_ptr<uint64_t> frames) : FFrames(std::move(frames)) {}
  void Queue(const int16_t*, size_t frames) override { *FFrames += frames; }
  uint32_t QueuedMs() const override { return 0; }
  void SetPaused(bool) override {}
  void Clear() override {}

 private:
  std::shared_ptr<uint64_t> FFrames;
};

}  // namespace

THeadlessVideoPlayer::THeadlessVideoPlayer(THeadlessPlatform& platform, THostWindow& parent,
                                           bool sound, TMovieMouse mouse)
    : FPlatform(platform),
      FPlayer(platform.App(), parent,
              sound ? std::make_unique<THeadlessVideoAudio>(platform.FVideoSoundFrames) : nullptr,
              std::move(mouse),
              // On the virtual clock decoding takes no time: a due frame is always there.
              platform.App().Clock() == THeadlessApplication::TClockKind::ckVirtual
                  ? TDecodeWait::dwForDueFrames
                  : TDecodeWait::dwNever) {}

void THeadlessVideoPlayer::SetMovie(const std::string& path) {
  FPlatform.Record("Video.SetMovie(" + path + ")");
  FPlayer.SetMovie(path);
}

void THeadlessVideoPlayer::Play() {
  FPlatform.Record("Video.Play");
  FPlayer.Play();
}

void THeadlessVideoPlayer::SetMirrors(const std::vector<TMovieMirror>& mirrors) {
  FPlatform.Record("Video.SetMirrors(" + std::to_string(mirrors.size()) + ")");
  FPlayer.SetMirrors(mirrors);
}

void THeadlessVideoPlayer::Stop() {
  FPlatform.Record("Video.Stop");
  FPlayer.Stop();
}

}  // namespace tovrin
