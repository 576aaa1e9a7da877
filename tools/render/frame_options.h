// The values that say which frame to compose, as the render commands read them from options and
// from the lines of a frames list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/render/render_frame.h"

namespace CLI {
class App;
}  // namespace CLI

namespace tovrin {

// The random generator's state: a decimal number from -2^31 to 2^32 - 1, negative values taken
// modulo 2^32 as the generator's word. Raises EConvertError otherwise.
uint32_t ParseSeed(std::string_view text);

// The pictures a command composes from and the file it writes.
struct TFrameFiles {
  std::string OldPath;
  std::string NewPath;
  std::string OutPath;
};

// Adds --style, --progress (when withProgress is set), --step, --seed, --old, --new and --out to a
// command, bound to `request` and `files`, which must outlive the parse.
void AddFrameOptions(CLI::App& command, TFrameRequest& request, TFrameFiles& files,
                     bool withProgress);

}  // namespace tovrin
