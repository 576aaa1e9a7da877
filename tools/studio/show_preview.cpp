#include "show_preview.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/errors.h"
#include "gfx/stretch.h"
#include "import/jpeg_encode.h"
#include "platform/freetype/freetype_text.h"
#include "tools/render/show_recorder.h"

namespace tovrin {

namespace {

constexpr int32_t kScreenWidth = 1920;
constexpr int kPreviewQuality = 80;

TShowRecording RecordingOf(const std::string& saver, TPreviewSize size) {
  TShowRecording recording;
  recording.Saver = saver;
  recording.Width = kScreenWidth;
  recording.Height = static_cast<int32_t>(int64_t{kScreenWidth} * size.Height / size.Width);
  recording.Fps = PreviewFps;
  return recording;
}

std::vector<uint8_t> EncodeScaled(const TBitmap& screen, TPreviewSize size) {
  TBitmap frame(size.Width, size.Height);
  StretchDrawGraphic(frame, TRect{0, 0, size.Width, size.Height}, screen);
  return EncodeJpeg(frame, kPreviewQuality);
}

}  // namespace

void StreamPreview(const std::string& saver, TPreviewSize size, uint32_t ms,
                   const std::function<bool(std::span<const uint8_t> jpeg)>& sink) {
  TShowRecording recording = RecordingOf(saver, size);
  recording.SecondsMs = ms;
  TFreeTypeTextRenderer text;
  bool stop = false;
  const auto start = std::chrono::steady_clock::now();
  TShowEvents events;
  events.OnFrame = [&](int64_t, uint32_t tickMs, const TBitmap& screen) {
    if (stop) return;
    const std::vector<uint8_t> jpeg = EncodeScaled(screen, size);
    std::this_thread::sleep_until(start + std::chrono::milliseconds(tickMs));
    stop = !sink(jpeg);
  };
  events.ShouldStop = [&] { return stop; };
  RecordShow(recording, text, events);
}

std::vector<uint8_t> PreviewFrame(const std::string& saver, TPreviewSize size, uint32_t ms) {
  TShowRecording recording = RecordingOf(saver, size);
  recording.SecondsMs = std::max<uint32_t>(ms, 1);
  const uint32_t frameMs = 1000 / static_cast<uint32_t>(recording.Fps);
  TFreeTypeTextRenderer text;
  std::vector<uint8_t> jpeg;
  TShowEvents events;
  events.OnFrame = [&](int64_t, uint32_t tickMs, const TBitmap& screen) {
    // Only the last frame at or before the moment asked for is encoded.
    if (tickMs + frameMs > ms) jpeg = EncodeScaled(screen, size);
  };
  RecordShow(recording, text, events);
  if (jpeg.empty()) throw Exception("the show ended before " + std::to_string(ms) + " ms");
  return jpeg;
}

}  // namespace tovrin
