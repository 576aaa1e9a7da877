// TAudioSink: where the video player's sound goes (the back end's audio device). The player
// hands it sound as it decodes, a little ahead of the picture; the device plays it at its own
// pace.
//
// Sound is interleaved signed 16-bit, TVideoClip::AudioRate samples a second, two channels.
// Main thread only (the device itself plays on a thread of its own).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tovrin {

class TAudioSink {
 public:
  virtual ~TAudioSink() = default;
  // Adds frames sample frames to what the device plays.
  virtual void Queue(const int16_t* samples, size_t frames) = 0;
  // Milliseconds of sound queued and not yet played.
  virtual uint32_t QueuedMs() const = 0;
  // Stops or resumes playing what is queued.
  virtual void SetPaused(bool paused) = 0;
  // Drops what is queued.
  virtual void Clear() = 0;
};

}  // namespace tovrin
