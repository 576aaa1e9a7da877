// TFrameDecoder: a clip's frames decoded ahead on a thread of its own, each painted at the sizes
// the player shows it at, so that the main thread only puts finished pictures on screen.
//
//   main thread                               decoding thread
//   -----------                               ---------------
//   SetSizes / SetSkip / SetClock  --state-->  reads them before each frame
//   Take() <------------- queue of Ahead -----  NextFrame, paint at each size, push
//   TakeSound() <-------- sound decoded -------  the clip's OnAudio
//
// The thread stays at most Ahead frames in front of what the main thread has taken. A frame whose
// time is well behind the clock the main thread last gave is pushed unpainted (it will be
// dropped; if it is shown after all, the main thread paints it). The skip level the main thread
// asks for applies from the next frame the thread decodes; skipping to a key frame ends at the key
// frame, and happens once until the main thread asks for no skipping (it has caught up), so the
// thread never runs on from one key frame to the next.
//
// The clip belongs to the decoder, and only the thread touches it once the decoder exists. The
// destructor stops the thread and waits for it (at most the time of one frame's decoding).
// Errors: a frame that cannot be held (out of memory) ends the clip as its end would.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "gfx/bitmap.h"
#include "platform/video/av_handles.h"
#include "platform/video/frame_painter.h"
#include "platform/video/video_clip.h"

namespace tovrin {

struct TPictureSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TPictureSize&) const = default;
};

// One decoded frame and its pictures.
struct TDecodedFrame {
  TFrameHandle Frame;  // the decoded frame itself; null once painted at Sizes
  int64_t Ms = 0;      // its time from the clip's start
  int32_t Index = 0;   // its number by the stream's clock (frames left out still count)
  // Painted at Sizes (in that order); empty when the frame was late or there were no sizes.
  std::vector<TBitmap> Pictures;
  std::vector<TPictureSize> Sizes;
};

// The sound the thread decoded, in order: Ms is the time of Samples' first sample frame.
struct TDecodedSound {
  int64_t Ms = 0;
  std::vector<int16_t> Samples;  // interleaved, TVideoClip::AudioChannels a frame
};

class TFrameDecoder {
 public:
  static constexpr size_t Ahead = 3;

  // Starts decoding clip at once (with the sound when the clip was opened with it).
  TFrameDecoder(std::unique_ptr<TVideoClip> clip, std::vector<TPictureSize> sizes);
  ~TFrameDecoder();
  TFrameDecoder(const TFrameDecoder&) = delete;
  TFrameDecoder& operator=(const TFrameDecoder&) = delete;

  const TVideoInfo& Info() const { return FInfo; }
  // The time between frames by the stream's rate.
  int64_t FrameStepMs() const { return FStepMs; }

  // The sizes frames decoded from now on are painted at.
  void SetSizes(std::vector<TPictureSize> sizes);
  void SetSkip(TVideoClip::TSkip skip);
  // Where playback has got to, in the clip's time.
  void SetClock(int64_t ms);

  // The next frame: when none is ready, nullopt at once, or with wait, once there is one or the
  // clip has ended. Ended() tells an ended clip from a frame not yet ready.
  std::optional<TDecodedFrame> Take(bool wait);
  bool Ended() const;
  // The sound decoded since the last call.
  std::vector<TDecodedSound> TakeSound();
  // Pictures done with, for the thread to paint later frames into (no new bitmap to clear and
  // map for every frame); kept up to MaxSpare.
  void Recycle(std::vector<TBitmap> pictures);
  static constexpr size_t MaxSpare = 2;

 private:
  void Run();
  bool DecodeOne(TVideoClip::TSkip skip, const std::vector<TPictureSize>& sizes, int64_t clock);
  // A spare picture of size, or a new one.
  TBitmap Picture(const TPictureSize& size);

  const std::unique_ptr<TVideoClip> FClip;  // the thread's alone
  const TVideoInfo FInfo;
  const int64_t FStepMs;
  std::vector<TFramePainter> FPainters;  // the thread's, one per size
  int32_t FDecoded = 0;                  // the thread's: frames numbered so far

  mutable std::mutex FLock;
  std::condition_variable FChanged;
  // Guarded by FLock.
  std::deque<TDecodedFrame> FReady;
  std::vector<TDecodedSound> FSound;
  std::vector<TBitmap> FSpare;
  std::vector<TPictureSize> FSizes;
  TVideoClip::TSkip FSkip = TVideoClip::TSkip::skNone;
  int64_t FClock = 0;
  bool FKeySkipSpent = false;  // a key frame was skipped to since the player last caught up
  bool FEnded = false;
  bool FStopping = false;

  std::thread FThread;  // last: starts once everything above exists
};

}  // namespace tovrin
