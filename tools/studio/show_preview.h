// The preview: the real show of a saver, run by the headless back end on its own clock, its
// frames handed over as JPEG in real time.
//
// The show runs on a virtual screen of 1920 pixels across (the height from the preview's
// proportions), as on a common monitor, and each frame is scaled down to the preview's size: a
// picture larger than the screen is then cut off as it would be on that monitor, not as on a
// screen the size of the preview.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tovrin {

struct TPreviewSize {
  int32_t Width = 960;
  int32_t Height = 540;
};

// Frames a second of the stream.
inline constexpr int32_t PreviewFps = 25;
// How long a stream runs at most.
inline constexpr uint32_t PreviewStreamMs = 10 * 60 * 1000;

// Runs the show for up to `ms` of show time, handing each frame to `sink` no earlier than its
// moment of show time after the start (so it plays in real time); ends early when `sink`
// returns false. Raises Exception when the saver cannot be opened.
void StreamPreview(const std::string& saver, TPreviewSize size, uint32_t ms,
                   const std::function<bool(std::span<const uint8_t> jpeg)>& sink);

// The show's frame at show time `ms`, as JPEG (made as fast as the machine allows).
std::vector<uint8_t> PreviewFrame(const std::string& saver, TPreviewSize size, uint32_t ms);

}  // namespace tovrin
