// Runs the real show of a finished screen saver off screen, on the headless back end with its
// virtual clock (as fast as the machine allows), and records what the screen shows: frames at a
// fixed rate of show time, a thumbnail of every finished transition, and a log of events.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "platform/text_renderer.h"

namespace tovrin {

struct TShowRecording {
  std::string Saver;     // the finished screen saver
  int32_t Width = 1920;  // the screen
  int32_t Height = 1080;
  // A desk of several monitors in desktop pixels, the primary first (Width and Height are then
  // not used); the frames show the whole desk, each monitor at its place, black between them.
  std::vector<TRect> Monitors;
  int32_t Slides = 0;      // end once this many transitions have finished (0: no limit)
  uint32_t SecondsMs = 0;  // end after this much show time (0: no limit)
  int32_t Fps = 25;        // frames a second of show time
};

struct TShowEvents {
  // Every captured frame, numbered from 0; the bitmap is the screen at that moment.
  std::function<void(int64_t number, uint32_t tickMs, const TBitmap& screen)> OnFrame;
  // The screen when a transition has just finished.
  std::function<void(int32_t picture, const TBitmap& screen)> OnTransitionDone;
  // One line per event: "t=4040ms picture 2 style 9", "t=0ms sound theme.mp3", ...
  std::function<void(const std::string& line)> OnLog;
  // Asked before each frame: true ends the show there (a viewer that has gone away).
  std::function<bool()> ShouldStop;
};

struct TShowSummary {
  int32_t Transitions = 0;
  int64_t Frames = 0;
  uint32_t EndTickMs = 0;
  bool EndedByShow = false;  // the show ended by itself (a missing movie control, a bad package)
};

// Runs the show until the limits say (at least one of Slides and SecondsMs must be set). The
// sounds and movies are extracted into a temporary folder that is removed afterwards. Raises
// (Exception) when the saver cannot be opened.
TShowSummary RecordShow(const TShowRecording& recording, TTextRenderer& text,
                        const TShowEvents& events);

}  // namespace tovrin
