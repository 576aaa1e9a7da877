// Holds the source tree to its layers: every include of src/, tools/ and bench/ against the table
// in layers.txt, and the table itself against includes planted where they do not belong.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "include_rules.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

const fs::path kRoot = TOVRIN_SOURCE_ROOT;

// Where quoted includes are looked for after the includer's own folder: the include directories
// the build gives the libraries, tools and benchmarks.
const std::vector<std::string> kSearchDirs = {
    "src", "", "tools/cli", "tools/pack", "tools/pack/import", "tests/support"};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TIncludeRules Rules() {
  return ParseIncludeRules(ReadText(kRoot / "tests/layering/layers.txt"));
}

bool IsSource(const fs::path& path) {
  const std::string ext = path.extension().string();
  return ext == ".h" || ext == ".cpp" || ext == ".c" || ext == ".in";
}

std::string Describe(const std::vector<TIncludeFault>& faults) {
  std::string text;
  for (const TIncludeFault& f : faults) {
    text += "  " + f.File + (f.Include.empty() ? "" : ": #include " + f.Include) + " -- " + f.Rule +
            "\n";
  }
  return text;
}

TEST(Layering, EveryIncludeOfTheTreeKeepsTheLayers) {
  std::vector<TSourceFile> checked;
  std::set<std::string> tree;
  for (const char* top : {"src", "tools", "bench", "tests/support"}) {
    for (const auto& entry : fs::recursive_directory_iterator(kRoot / top)) {
      if (!entry.is_regular_file() || !IsSource(entry.path())) continue;
      const std::string path = entry.path().lexically_relative(kRoot).generic_string();
      tree.insert(path);
      if (std::string_view(top) != "tests/support")
        checked.push_back({path, ReadText(entry.path())});
    }
  }
  ASSERT_GT(checked.size(), 200u) << "the walk missed the tree at " << kRoot;
  const std::vector<TIncludeFault> faults = CheckIncludes(Rules(), checked, tree, kSearchDirs);
  EXPECT_TRUE(faults.empty()) << faults.size()
                              << " includes break the layers (tests/layering/layers.txt):\n"
                              << Describe(faults);
}

// A tree of a few real-looking headers, and one planted file per case whose include breaks a
// rule; each must give exactly one fault naming the file and the include.
TEST(Layering, PlantedIncludesAreCaught) {
  const std::set<std::string> tree = {"src/core/paths.h",
                                      "src/gfx/bitmap.h",
                                      "src/package/stream.h",
                                      "src/platform/screen.h",
                                      "src/platform/common/timer_set.h",
                                      "src/platform/sdl/sdl_video.h",
                                      "src/picshow/custom_pic_show.h",
                                      "src/show/frm_scrn.h",
                                      "src/app/entry.h",
                                      "tools/cli/value_parsers.h",
                                      "tools/pack/build_command.h"};
  struct TCase {
    const char* file;
    const char* line;
    const char* include;
  };
  const TCase cases[] = {
      {"src/core/x.cpp", "#include \"gfx/bitmap.h\"", "\"gfx/bitmap.h\""},
      {"src/gfx/x.cpp", "  #  include \"package/stream.h\"", "\"package/stream.h\""},
      {"src/show/x.h", "#include \"app/entry.h\"", "\"app/entry.h\""},
      {"src/picshow/x.cpp", "#include \"platform/common/timer_set.h\"",
       "\"platform/common/timer_set.h\""},
      {"src/picshow/x.cpp", "#include \"platform/sdl/sdl_video.h\"",
       "\"platform/sdl/sdl_video.h\""},
      {"src/platform/x.h", "#include \"../show/frm_scrn.h\"", "\"../show/frm_scrn.h\""},
      {"tools/cli/x.cpp", "#include \"build_command.h\"", "\"build_command.h\""},
      {"tools/pack/import/x.cpp", "#include \"build_command.h\"", "\"build_command.h\""},
      {"src/gfx/x.cpp", "#include <windows.h>", "<windows.h>"},
      {"src/platform/win32/x.cpp", "#include <SDL_mixer.h>", "<SDL_mixer.h>"},
      {"src/show/x.cpp", "#include <gtk/gtk.h>", "<gtk/gtk.h>"},
      {"bench/x.cpp", "#include <X11/Xlib.h>", "<X11/Xlib.h>"},
      {"src/core/x.cpp", "#include \"core/missing.h\"", "\"core/missing.h\""},
      {"src/nowhere/x.cpp", "#include <vector>", ""},
  };
  const TIncludeRules rules = Rules();
  for (const TCase& c : cases) {
    const std::string text =
        std::string("#include <cstdint>\n#include \"core/paths.h\"\n") + c.line + "\n";
    std::set<std::string> withFile = tree;
    withFile.insert(c.file);
    const std::vector<TIncludeFault> faults =
        CheckIncludes(rules, {{c.file, text}}, withFile, kSearchDirs);
    ASSERT_EQ(faults.size(), 1u) << c.file << ": " << c.line << "\n" << Describe(faults);
    EXPECT_EQ(faults[0].File, c.file);
    EXPECT_EQ(faults[0].Include, c.include);
    EXPECT_FALSE(faults[0].Rule.empty());
  }
  // The same includes where the table allows them pass.
  const std::vector<TSourceFile> allowed = {
      {"src/app/x.cpp", "#include \"show/frm_scrn.h\"\n#include \"platform/sdl/sdl_video.h\"\n"},
      {"src/platform/sdl/x.cpp", "#include <SDL.h>\n#include \"platform/common/timer_set.h\"\n"},
      {"tools/pack/x.cpp", "#include \"build_command.h\"\n#include \"value_parsers.h\"\n"}};
  std::set<std::string> withAllowed = tree;
  for (const TSourceFile& f : allowed) withAllowed.insert(f.Path);
  EXPECT_EQ(Describe(CheckIncludes(rules, allowed, withAllowed, kSearchDirs)), "");
}

TEST(Layering, ARowThatIsNotARowIsRefused) {
  EXPECT_THROW(ParseIncludeRules("[layers]\nsrc/core src/gfx\n"), std::runtime_error);
  EXPECT_THROW(ParseIncludeRules("[layers]\nsrc/a src/b: src/core\n"), std::runtime_error);
  EXPECT_THROW(ParseIncludeRules("src/core:\n"), std::runtime_error);
}

}  // namespace
}  // namespace tovrin
