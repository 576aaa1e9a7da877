#include "platform/win32/win32_video_audio.h"

#include <algorithm>
#include <string>

#include "core/errors.h"
#include "platform/video/video_clip.h"

namespace tovrin {

namespace {

constexpr size_t kFrameBytes = sizeof(int16_t) * TVideoClip::AudioChannels;

WAVEFORMATEX ClipSoundFormat() {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = TVideoClip::AudioChannels;
  format.nSamplesPerSec = TVideoClip::AudioRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(kFrameBytes);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}

}  // namespace

TWin32VideoAudio::TWin32VideoAudio(const TWin32Winmm& winmm) : FWave(winmm.WaveOut()) {
  const WAVEFORMATEX format = ClipSoundFormat();
  const MMRESULT result = winmm.OpenWaveOut(&FDevice, format);
  if (result != MMSYSERR_NOERROR) {
    FDevice = nullptr;
    throw Exception("No sound device (wave output error " + std::to_string(result) + ")");
  }
  // The player starts the sound at Play; until then buffers are held (and the device paused, for
  // drivers that would play a first write at once).
  FWave.Pause(FDevice);
}

TWin32VideoAudio::~TWin32VideoAudio() {
  // The buffers must be back from the device before their memory goes, and the device closes
  // only once it holds none.
  Reset();
  FWave.Close(FDevice);
}

void TWin32VideoAudio::TakeBackPlayed() {
  while (FOnDevice > 0 && (FBuffers.front()->Header.dwFlags & WHDR_DONE)) {
    FWave.UnprepareHeader(FDevice, &FBuffers.front()->Header, sizeof(WAVEHDR));
    FBuffers.pop_front();
    --FOnDevice;
  }
}

void TWin32VideoAudio::WriteHeld() {
  while (FOnDevice < FBuffers.size()) {
    TBuffer& buffer = *FBuffers[FOnDevice];
    WAVEHDR& header = buffer.Header;
    if (FWave.PrepareHeader(FDevice, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      // The sound is lost, the picture goes on.
      FBuffers.erase(FBuffers.begin() + static_cast<std::ptrdiff_t>(FOnDevice));
      continue;
    }
    if (FWave.Write(FDevice, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
      FWave.UnprepareHeader(FDevice, &header, sizeof(WAVEHDR));
      FBuffers.erase(FBuffers.begin() + static_cast<std::ptrdiff_t>(FOnDevice));
      continue;
    }
    FFramesWritten += buffer.Samples.size() / TVideoClip::AudioChannels;
    ++FOnDevice;
  }
}

void TWin32VideoAudio::Reset() {
  FWave.Reset(FDevice);
  for (size_t i = 0; i < FOnDevice; ++i) {
    FWave.UnprepareHeader(FDevice, &FBuffers[i]->Header, sizeof(WAVEHDR));
  }
  FBuffers.clear();
  FOnDevice = 0;
  FFramesWritten = 0;
  // Whether a reset device stays paused is the driver's choice: say it again.
  if (FPaused) FWave.Pause(FDevice);
}

void TWin32VideoAudio::Queue(const int16_t* samples, size_t frames) {
  TakeBackPlayed();
  const size_t bytes = frames * kFrameBytes;
  if (frames == 0 || bytes > UINT32_MAX) return;
  auto buffer = std::make_unique<TBuffer>();
  buffer->Samples.assign(samples, samples + frames * TVideoClip::AudioChannels);
  buffer->Header.lpData = reinterpret_cast<LPSTR>(buffer->Samples.data());
  buffer->Header.dwBufferLength = static_cast<DWORD>(bytes);
  FBuffers.push_back(std::move(buffer));
  if (!FPaused) WriteHeld();
}

uint32_t TWin32VideoAudio::QueuedMs() const {
  uint64_t queued = 0;
  MMTIME position{};
  position.wType = TIME_SAMPLES;
  if (FWave.GetPosition(FDevice, &position, sizeof position) == MMSYSERR_NOERROR &&
      position.wType == TIME_SAMPLES) {
    // The device counts in 32 bits; what it has not yet played is far less than that.
    const uint32_t ahead = static_cast<uint32_t>(FFramesWritten) - position.u.sample;
    queued = std::min<uint64_t>(ahead, FFramesWritten);
  } else {
    // No sample position from this driver: whole buffers not yet done.
    for (size_t i = 0; i < FOnDevice; ++i) {
      if (!(FBuffers[i]->Header.dwFlags & WHDR_DONE)) {
        queued += FBuffers[i]->Samples.size() / TVideoClip::AudioChannels;
      }
    }
  }
  for (size_t i = FOnDevice; i < FBuffers.size(); ++i) {
    queued += FBuffers[i]->Samples.size() / TVideoClip::AudioChannels;
  }
  return static_cast<uint32_t>(queued * 1000 / TVideoClip::AudioRate);
}

void TWin32VideoAudio::SetPaused(bool paused) {
  if (paused == FPaused) return;
  FPaused = paused;
  if (paused) {
    FWave.Pause(FDevice);
  } else {
    FWave.Restart(FDevice);
    WriteHeld();
  }
}

void TWin32VideoAudio::Clear() {
  Reset();
}

}  // namespace tovrin
