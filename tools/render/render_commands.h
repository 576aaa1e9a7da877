// The commands of tovrin-render. Each adds its subcommand, with its options, to the tool and
// returns the work to run once the whole command line has been read. A new command is one more
// Add...Command here and one more entry in render_main.cpp's table.
#pragma once

#include <functional>

#include "value_parsers.h"

namespace CLI {
class App;
}  // namespace CLI

namespace tovrin {

// How tovrin-render words a value it refuses: --step takes a whole number from 1 to 100, not '0'.
// Whole numbers and sizes are read with ParseRangedInteger and ParseSizeValue in this wording.
inline constexpr TValueWording RenderWording = TValueWording::vwTakes;

struct TRenderCommand {
  CLI::App* Command = nullptr;
  // Raises EUsageError for a mistake found only while running (a malformed list line), any other
  // Exception when a picture cannot be read or written.
  std::function<void()> Run;
};

// frame: one frame of a transition.
TRenderCommand AddFrameCommand(CLI::App& tool);
// frames: the frames listed in a file, one "S P K N OLD NEW OUT" a line.
TRenderCommand AddFramesCommand(CLI::App& tool);
// strip: a whole forward run of a style as a contact sheet, optionally every frame too.
TRenderCommand AddStripCommand(CLI::App& tool);
// show: the real show of a finished screen saver, as PNG frames, a contact sheet and a log.
TRenderCommand AddShowCommand(CLI::App& tool);

}  // namespace tovrin
