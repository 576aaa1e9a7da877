#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "core/errors.h"
#include "gfx/image_file.h"
#include "gfx/stretch.h"
#include "platform/freetype/freetype_text.h"
#include "tool_command_line.h"
#include "tools/render/contact_sheet.h"
#include "tools/render/render_commands.h"
#include "tools/render/show_recorder.h"

namespace tovrin {

namespace {

struct TShowArguments {
  TShowRecording Recording;
  std::string OutDir;
  std::string Contact;
  bool Log = false;
};

void RenderShow(const TShowArguments& args) {
  if (args.Recording.Slides == 0 && args.Recording.SecondsMs == 0) {
    throw EUsageError("show needs --slides N or --seconds S");
  }
  const std::filesystem::path dir = args.OutDir;
  std::filesystem::create_directories(dir);
  TFreeTypeTextRenderer text;
  std::vector<TBitmap> thumbs;
  TSheetLayout layout;
  TShowEvents events;
  events.OnFrame = [&](int64_t number, uint32_t, const TBitmap& screen) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06lld.png", static_cast<long long>(number));
    SavePNG(screen, (dir / name).string());
  };
  if (!args.Contact.empty()) {
    events.OnTransitionDone = [&](int32_t, const TBitmap& screen) {
      const int32_t w = layout.ThumbWidth;
      const int32_t h = std::max<int32_t>(
          1, static_cast<int32_t>(int64_t{w} * screen.Height() / std::max(1, screen.Width())));
      TBitmap thumb(w, h);
      StretchDrawGraphic(thumb, TRect{0, 0, w, h}, screen);
      thumbs.push_back(std::move(thumb));
    };
  }
  if (args.Log) {
    events.OnLog = [](const std::string& line) { std::printf("%s\n", line.c_str()); };
  }
  const TShowSummary summary = RecordShow(args.Recording, text, events);
  if (!args.Contact.empty()) SavePNG(LayOutSheet(thumbs, layout), args.Contact);
  std::fprintf(stderr, "%d transitions, %lld frames, %u ms of show time written to %s\n",
               summary.Transitions, static_cast<long long>(summary.Frames), summary.EndTickMs,
               args.OutDir.c_str());
}

}  // namespace

TRenderCommand AddShowCommand(CLI::App& tool) {
  auto args = std::make_shared<TShowArguments>();
  CLI::App* command = tool.add_subcommand(
      "show",
      "Runs the real show of the finished screen saver SAVER off screen, as fast as the machine "
      "allows, and writes what the screen shows as numbered PNG frames into DIR.");
  command->add_option("saver", args->Recording.Saver, "the finished screen saver")
      ->required()
      ->type_name("SAVER");
  command->add_option("--out", args->OutDir, "folder for the frames (created when missing)")
      ->required()
      ->type_name("DIR");
  AddOption(*command, "--size", "the screen, W x H pixels (default: 1920x1080)",
            [a = args.get()](std::string_view what, const std::string& v) {
              const TSizeValue size = ParseSizeValue(what, v, 16, 8192, RenderWording);
              a->Recording.Width = size.Width;
              a->Recording.Height = size.Height;
            })
      ->type_name("WxH");
  AddOption(*command, "--monitors",
            "a desk of several monitors instead, the primary first, each WxH at +X+Y (or right "
            "of the one before): 1920x1080,1280x1024+1920+0; frames show the whole desk",
            [a = args.get()](std::string_view what, const std::string& v) {
              a->Recording.Monitors.clear();
              TRect desk;
              for (const TMonitorValue& m : ParseMonitorList(what, v, 16, 8192, RenderWording)) {
                a->Recording.Monitors.push_back(
                    TRect{m.Left, m.Top, m.Left + m.Width, m.Top + m.Height});
                desk = UnionRect(desk, a->Recording.Monitors.back());
              }
              // Every frame is an image of the whole desk.
              if (desk.Width() > 16384 || desk.Height() > 16384) {
                throw EUsageError(std::string(what) + ": the desk spans " +
                                  std::to_string(desk.Width()) + "x" +
                                  std::to_string(desk.Height()) +
                                  " pixels; at most 16384 on each side");
              }
            })
      ->type_name("LIST");
  AddOption(*command, "--slides",
            "end once the Nth transition has finished and a frame showing it is written",
            [a = args.get()](std::string_view what, const std::string& v) {
              a->Recording.Slides = ParseRangedInteger(what, v, 1, 100000, RenderWording);
            })
      ->type_name("N");
  AddOption(*command, "--seconds", "end after S seconds of show time",
            [a = args.get()](std::string_view what, const std::string& v) {
              a->Recording.SecondsMs =
                  static_cast<uint32_t>(ParseRangedInteger(what, v, 1, 86400, RenderWording)) *
                  1000;
            })
      ->type_name("S");
  AddOption(*command, "--fps", "frames written per second of show time, 1 to 100 (default: 25)",
            [a = args.get()](std::string_view what, const std::string& v) {
              a->Recording.Fps = ParseRangedInteger(what, v, 1, 100, RenderWording);
            })
      ->type_name("F");
  command
      ->add_option("--contact", args->Contact,
                   "also write a contact sheet with one thumbnail per finished transition "
                   "(default: none)")
      ->type_name("FILE");
  command->add_flag("--log", args->Log,
                    "print one line per event: t=4040ms picture 2 style 9, t=0ms sound "
                    "theme.mp3, ...");
  return {command, [args] { RenderShow(*args); }};
}

}  // namespace tovrin
