// Where tovrin-pack looks for the engine when --engine is not given: beside itself, in the build
// tree, and in the installed layout, in that order.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/errors.h"
#include "engine_locator.h"
#include "scratch_dir.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

TEST(EngineLocatorTest, FindsTheFirstLayoutThatHoldsAnEngine) {
  struct TCase {
    const char* Tool;                  // the tool's path under the scratch folder
    std::vector<const char*> Engines;  // engines present
    const char* Found;                 // nullptr: none found
  };
  const TCase cases[] = {
      {"zip/tovrin-pack", {"zip/tovrin"}, "zip/tovrin"},
      {"build/tools/pack/tovrin-pack", {"build/src/app/tovrin"}, "build/src/app/tovrin"},
      {"usr/bin/tovrin-pack", {"usr/lib/tovrin/tovrin"}, "usr/lib/tovrin/tovrin"},
      // An engine beside the tool wins over an installed one.
      {"usr/bin/tovrin-pack", {"usr/lib/tovrin/tovrin", "usr/bin/tovrin"}, "usr/bin/tovrin"},
      // A folder of the engine's name is not an engine.
      {"usr/bin/tovrin-pack", {"usr/lib/tovrin/tovrin/"}, nullptr},
      {"usr/bin/tovrin-pack", {"usr/lib/tovrin"}, nullptr},
      {"usr/bin/tovrin-pack", {}, nullptr},
  };
  for (const TCase& c : cases) {
    const fs::path dir = test::ScratchDirFor("tovrin-locator");
    for (const char* engine : c.Engines) {
      const fs::path p = dir / engine;
      if (std::string(engine).back() == '/') {
        fs::create_directories(p);
      } else {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << "engine";
      }
    }
    const std::string tool = (dir / c.Tool).string();
    if (c.Found != nullptr) {
      EXPECT_EQ(fs::path(FindEngineBesideTool(tool)), (dir / c.Found).lexically_normal()) << c.Tool;
    } else {
      try {
        FindEngineBesideTool(tool);
        ADD_FAILURE() << c.Tool << ": an engine was found";
      } catch (const EFOpenError& e) {
        // The message names every place looked at and the way out.
        for (const std::string& place : EngineCandidates(tool)) {
          EXPECT_NE(std::string(e.what()).find(place), std::string::npos) << e.what();
        }
        EXPECT_NE(std::string(e.what()).find("--engine"), std::string::npos) << e.what();
      }
    }
    fs::remove_all(dir);
  }
}

}  // namespace
}  // namespace tovrin
