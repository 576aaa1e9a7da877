// TWin32VideoAudio: the video player's sound on the wave output device (waveOut, through winmm
// loaded from the system folder: TWin32Winmm). Each Queue makes one buffer of its own; the device
// plays the buffers in order on its own thread, and the ones it has finished are taken back at
// the next call. While paused, new buffers are held here and handed over at resume: a device
// that has run dry may start again on a write whether paused or not (Wine's does). No callback
// of ours runs on the device's thread: the device is opened without one and its buffers' done
// flags are read instead.
#pragma once

#include "platform/win32/win32_api.h"

#include <mmsystem.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "platform/video/audio_sink.h"
#include "platform/win32/win32_winmm.h"

namespace tovrin {

class TWin32VideoAudio final : public TAudioSink {
 public:
  // Opens the default output device, paused, for TVideoClip's sound format; raises (Exception)
  // when there is none. winmm must outlive the object.
  explicit TWin32VideoAudio(const TWin32Winmm& winmm);
  ~TWin32VideoAudio() override;
  TWin32VideoAudio(const TWin32VideoAudio&) = delete;
  TWin32VideoAudio& operator=(const TWin32VideoAudio&) = delete;

  void Queue(const int16_t* samples, size_t frames) override;
  uint32_t QueuedMs() const override;
  void SetPaused(bool paused) override;
  void Clear() override;

  // Buffers queued and not yet taken back, held or on the device (for tests).
  size_t BuffersOut() const { return FBuffers.size(); }

 private:
  // One buffer on the device: its header points into its samples, so neither moves while the
  // device holds it (the deque holds pointers).
  struct TBuffer {
    WAVEHDR Header{};
    std::vector<int16_t> Samples;
  };

  // Unprepares and drops the buffers at the front that the device has finished.
  void TakeBackPlayed();
  // Hands the device the buffers held, in order.
  void WriteHeld();
  // Stops the device, marking every buffer done, and drops them all.
  void Reset();

  const TWin32WaveOut& FWave;
  HWAVEOUT FDevice = nullptr;
  std::deque<std::unique_ptr<TBuffer>> FBuffers;  // on the device first, then held
  size_t FOnDevice = 0;                           // how many of FBuffers the device has
  uint64_t FFramesWritten = 0;  // sample frames handed to the device since it was last reset
  bool FPaused = true;
};

}  // namespace tovrin
