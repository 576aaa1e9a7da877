#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "tool_command_line.h"
#include "tools/render/contact_sheet.h"
#include "tools/render/frame_options.h"
#include "tools/render/render_commands.h"

namespace tovrin {

namespace {

struct TStripArguments {
  TFrameRequest Request;
  TFrameFiles Files;
  TSheetLayout Layout;
  std::string FramesDir;  // empty: no frames at full size
  std::optional<TSize> Size;
};

void RenderStrip(const TStripArguments& args) {
  TBitmap oldPic = LoadPicture(args.Files.OldPath);
  TBitmap newPic = LoadPicture(args.Files.NewPath);
  if (args.Size) {
    oldPic = ScaledTo(oldPic, *args.Size);
    newPic = ScaledTo(newPic, *args.Size);
  }
  const std::vector<int> values = TransitionProgressValues(args.Request.Step, true);
  SavePicture(RenderContactSheet(oldPic, newPic, args.Request, values, args.Layout),
              args.Files.OutPath);
  if (args.FramesDir.empty()) return;
  const std::filesystem::path dir = args.FramesDir;
  std::filesystem::create_directories(dir);
  for (int progress : values) {
    TFrameRequest r = args.Request;
    r.Progress = progress;
    char name[32];
    std::snprintf(name, sizeof name, "frame_%03d.ppm", progress);
    SavePicture(RenderFrame(oldPic, newPic, r), (dir / name).string());
  }
}

}  // namespace

TRenderCommand AddStripCommand(CLI::App& tool) {
  auto args = std::make_shared<TStripArguments>();
  CLI::App* command = tool.add_subcommand(
      "strip",
      "A whole forward run of the style (Progress 0, K, 2K, ... 100) as a contact sheet in OUT.");
  AddFrameOptions(*command, args->Request, args->Files, false);
  AddOption(*command, "--columns", "frames a row of the sheet, 1 to 100 (default: 6)",
            [a = args.get()](std::string_view what, const std::string& v) {
              a->Layout.Columns = ParseRangedInteger(what, v, 1, 100, RenderWording);
            })
      ->type_name("C");
  AddOption(*command, "--thumb-width", "width of each frame on the sheet, 8 to 4096 (default: 240)",
            [a = args.get()](std::string_view what, const std::string& v) {
              a->Layout.ThumbWidth = ParseRangedInteger(what, v, 8, 4096, RenderWording);
            })
      ->type_name("W");
  command
      ->add_option("--frames-dir", args->FramesDir,
                   "also write every frame at full size as DIR/frame_PPP.ppm (default: none)")
      ->type_name("DIR");
  AddOption(*command, "--size",
            "scale both pictures to W x H first, as the show scales pictures to the screen, so "
            "pictures of different sizes can be shown (default: their own size)",
            [a = args.get()](std::string_view what, const std::string& v) {
              const TSizeValue size = ParseSizeValue(what, v, 1, 16384, RenderWording);
              a->Size = TSize{size.Width, size.Height};
            })
      ->type_name("WxH");
  return {command, [args] { RenderStrip(*args); }};
}

}  // namespace tovrin
