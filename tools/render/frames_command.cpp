#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "core/conversions.h"
#include "tool_command_line.h"
#include "tools/render/frame_options.h"
#include "tools/render/render_commands.h"

namespace tovrin {

namespace {

// Renders every line "S P K N OLD NEW OUT" of the list; blank lines and lines starting with #
// are skipped. A line without its seven fields is a usage mistake; a bad value or a picture that
// cannot be read fails the run, naming the line.
void RenderList(const std::string& listPath) {
  std::ifstream list(listPath);
  if (!list) throw Exception("Cannot open file " + listPath);
  TPictureCache pictures;
  std::string line;
  int lineNumber = 0, rendered = 0;
  while (std::getline(list, line)) {
    ++lineNumber;
    const std::string text = Trim(line);
    if (text.empty() || text[0] == '#') continue;
    const std::string where = listPath + ":" + std::to_string(lineNumber);
    std::istringstream fields(text);
    std::string s, p, k, n, oldPath, newPath, out, extra;
    if (!(fields >> s >> p >> k >> n >> oldPath >> newPath >> out) || (fields >> extra)) {
      throw EUsageError(where + ": expected seven fields \"S P K N OLD NEW OUT\"");
    }
    try {
      TFrameRequest request;
      request.Style = ParseRangedInteger("style", s, 0, 127, RenderWording);
      request.Progress = ParseRangedInteger("progress", p, 0, 100, RenderWording);
      request.Step = ParseRangedInteger("step", k, 1, 100, RenderWording);
      request.Seed = ParseSeed(n);
      SavePicture(RenderFrame(pictures.Get(oldPath), pictures.Get(newPath), request), out);
    } catch (const Exception& e) {
      throw Exception(where + ": " + e.Message());
    }
    ++rendered;
  }
  std::fprintf(stderr, "tovrin-render: %d frames\n", rendered);
}

}  // namespace

TRenderCommand AddFramesCommand(CLI::App& tool) {
  auto listPath = std::make_shared<std::string>();
  CLI::App* command = tool.add_subcommand(
      "frames",
      "The frame command for every line \"S P K N OLD NEW OUT\" of the file LIST (blank lines "
      "and lines starting with # skipped); each picture is loaded once.");
  command->add_option("LIST", *listPath, "the list file")->required();
  return {command, [listPath] { RenderList(*listPath); }};
}

}  // namespace tovrin
