#include "platform/video/frame_decoder.h"

#include <algorithm>
#include <climits>
#include <utility>

namespace tovrin {

TFrameDecoder::TFrameDecoder(std::unique_ptr<TVideoClip> clip, std::vector<TPictureSize> sizes)
    : FClip(std::move(clip)),
      FInfo(FClip->Info()),
      FStepMs(FClip->FrameStepMs()),
      FSizes(std::move(sizes)) {
  // The sound goes into the queue under the lock; the callback runs on the thread only.
  FClip->OnAudio = [this](const int16_t* samples, size_t frames, int64_t ms) {
    TDecodedSound sound{
        ms, std::vector<int16_t>(samples, samples + frames * TVideoClip::AudioChannels)};
    const std::lock_guard lock(FLock);
    FSound.push_back(std::move(sound));
  };
  FThread = std::thread([this] { Run(); });
}

TFrameDecoder::~TFrameDecoder() {
  {
    const std::lock_guard lock(FLock);
    FStopping = true;
  }
  FChanged.notify_all();
  FThread.join();
}

void TFrameDecoder::SetSizes(std::vector<TPictureSize> sizes) {
  const std::lock_guard lock(FLock);
  FSizes = std::move(sizes);
}

void TFrameDecoder::SetSkip(TVideoClip::TSkip skip) {
  const std::lock_guard lock(FLock);
  // One skip to a key frame until the player has caught up: a machine too slow for the clip
  // would otherwise show one key frame in each group of pictures.
  if (skip == TVideoClip::TSkip::skNone) FKeySkipSpent = false;
  FSkip = skip;
}

void TFrameDecoder::SetClock(int64_t ms) {
  const std::lock_guard lock(FLock);
  FClock = ms;
}

std::optional<TDecodedFrame> TFrameDecoder::Take(bool wait) {
  std::unique_lock lock(FLock);
  if (wait) FChanged.wait(lock, [this] { return !FReady.empty() || FEnded; });
  if (FReady.empty()) return std::nullopt;
  TDecodedFrame frame = std::move(FReady.front());
  FReady.pop_front();
  lock.unlock();
  FChanged.notify_all();  // a place in the queue is free
  return frame;
}

bool TFrameDecoder::Ended() const {
  const std::lock_guard lock(FLock);
  return FEnded && FReady.empty();
}

std::vector<TDecodedSound> TFrameDecoder::TakeSound() {
  const std::lock_guard lock(FLock);
  return std::exchange(FSound, {});
}

void TFrameDecoder::Recycle(std::vector<TBitmap> pictures) {
  const std::lock_guard lock(FLock);
  for (TBitmap& picture : pictures) {
    if (FSpare.size() < MaxSpare && !picture.Empty()) FSpare.push_back(std::move(picture));
  }
}

TBitmap TFrameDecoder::Picture(const TPictureSize& size) {
  {
    const std::lock_guard lock(FLock);
    for (auto it = FSpare.begin(); it != FSpare.end(); ++it) {
      if (it->Width() == size.Width && it->Height() == size.Height) {
        TBitmap picture = std::move(*it);
        FSpare.erase(it);
        return picture;
      }
    }
  }
  return TBitmap(size.Width, size.Height);
}

void TFrameDecoder::Run() {
  for (;;) {
    TVideoClip::TSkip skip{};
    std::vector<TPictureSize> sizes;
    int64_t clock = 0;
    {
      std::unique_lock lock(FLock);
      FChanged.wait(lock, [this] { return FStopping || FReady.size() < Ahead; });
      if (FStopping) return;
      skip = FSkip == TVideoClip::TSkip::skToKeyFrame && FKeySkipSpent
                 ? TVideoClip::TSkip::skNonReference
                 : FSkip;
      sizes = FSizes;
      clock = FClock;
    }
    bool more = false;
    try {
      more = DecodeOne(skip, sizes, clock);
    } catch (const std::exception&) {
      more = false;  // a frame that cannot be held: the clip ends here
    }
    if (!more) {
      {
        const std::lock_guard lock(FLock);
        FEnded = true;
      }
      FChanged.notify_all();
      return;
    }
  }
}

bool TFrameDecoder::DecodeOne(TVideoClip::TSkip skip, const std::vector<TPictureSize>& sizes,
                              int64_t clock) {
  FClip->SetSkip(skip);
  TDecodedFrame decoded;
  decoded.Frame.reset(Av().av_frame_alloc());
  if (!decoded.Frame) return false;
  if (!FClip->NextFrame(*decoded.Frame)) return false;
  decoded.Ms = FClip->FrameMs();
  // Frames the decoder left out still count: the index follows the clock of the stream.
  const int64_t byTime = FClip->FrameIndexAt(decoded.Ms);
  decoded.Index = static_cast<int32_t>(std::clamp<int64_t>(byTime, FDecoded, INT32_MAX - 2));
  FDecoded = decoded.Index + 1;
  if (skip == TVideoClip::TSkip::skToKeyFrame && FClip->Skip() != skip) {
    // The key frame has been reached: the frames after it are the ones to show.
    const std::lock_guard lock(FLock);
    FKeySkipSpent = true;
  }

  // A frame two frame times behind the clock will not be shown: no painting for it.
  const bool late = decoded.Ms + 2 * FStepMs < clock;
  if (!late && !sizes.empty()) {
    FPainters.resize(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
      TBitmap picture = Picture(sizes[i]);
      if (!FPainters[i].Paint(*decoded.Frame, FInfo.Rotation, picture)) {
        decoded.Pictures.clear();
        break;
      }
      decoded.Pictures.push_back(std::move(picture));
    }
    if (decoded.Pictures.size() == sizes.size()) {
      decoded.Sizes = sizes;
      // Painted: the decoded frame goes back to the decoder's pool at once. Held in the queue,
      // every 4K frame ahead would keep 12 MB more of the pool alive.
      decoded.Frame.reset();
    }
  }
  {
    const std::lock_guard lock(FLock);
    FReady.push_back(std::move(decoded));
  }
  FChanged.notify_all();
  return true;
}

}  // namespace tovrin
