#include "tools/render/frame_options.h"

#include <CLI/CLI.hpp>

#include <string>
#include "tool_command_line.h"
#include "tools/render/render_commands.h"

namespace tovrin {

uint32_t ParseSeed(std::string_view text) {
  const std::string digits(text);
  try {
    size_t used = 0;
    const long long v = std::stoll(digits, &used, 10);
    if (used == digits.size() && v >= -2147483648LL && v <= 4294967295LL) {
      return static_cast<uint32_t>(v);
    }
  } catch (const std::exception&) {
  }
  RefuseValue("--seed", digits, "a 32-bit number", RenderWording);
}

void AddFrameOptions(CLI::App& command, TFrameRequest& request, TFrameFiles& files,
                     bool withProgress) {
  AddOption(command, "--style", "transition style, 0 to 127",
            [&request](std::string_view what, const std::string& v) {
              request.Style = ParseRangedInteger(what, v, 0, 127, RenderWording);
            })
      ->type_name("S")
      ->required();
  if (withProgress) {
    AddOption(command, "--progress", "Progress of the frame, 0 to 100",
              [&request](std::string_view what, const std::string& v) {
                request.Progress = ParseRangedInteger(what, v, 0, 100, RenderWording);
              })
        ->type_name("P")
        ->required();
  }
  AddOption(command, "--step", "Step of the run, 1 to 100 (default: 4)",
            [&request](std::string_view what, const std::string& v) {
              request.Step = ParseRangedInteger(what, v, 1, 100, RenderWording);
            })
      ->type_name("K");
  AddOption(command, "--seed",
            "the random generator's state right before each frame, a 32-bit number (default: 0)",
            [&request](std::string_view, const std::string& v) { request.Seed = ParseSeed(v); })
      ->type_name("N");
  command.add_option("--old", files.OldPath, "the old picture: binary PPM (P6) or JPEG")
      ->type_name("OLD")
      ->required();
  command.add_option("--new", files.NewPath, "the new picture, of the old one's size")
      ->type_name("NEW")
      ->required();
  command
      .add_option("--out", files.OutPath, "picture to write: PNG when it ends in .png, else PPM")
      ->type_name("OUT")
      ->required();
}

}  // namespace tovrin
