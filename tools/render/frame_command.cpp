#include <CLI/CLI.hpp>
#include <memory>

#include "tools/render/frame_options.h"
#include "tools/render/render_commands.h"

namespace tovrin {

TRenderCommand AddFrameCommand(CLI::App& tool) {
  struct TArguments {
    TFrameRequest Request;
    TFrameFiles Files;
  };
  auto args = std::make_shared<TArguments>();
  CLI::App* command = tool.add_subcommand(
      "frame",
      "One frame: Media after composing the style at the Progress with the Step, the random "
      "generator's state set right before the frame, and no event handlers.");
  AddFrameOptions(*command, args->Request, args->Files, true);
  return {command, [args] {
            const TBitmap oldPic = LoadPicture(args->Files.OldPath);
            const TBitmap newPic = LoadPicture(args->Files.NewPath);
            SavePicture(RenderFrame(oldPic, newPic, args->Request), args->Files.OutPath);
          }};
}

}  // namespace tovrin
