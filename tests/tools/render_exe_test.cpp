// Runs the real tovrin-render executable: single frames, frame lists, contact sheets and the
// refusals. Other tools and the golden comparisons depend on this interface exactly.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "core/random.h"
#include "gfx/image_file.h"
#include "gfx/stretch.h"
#include "help_text.h"
#include "picshow/styles/compose_frame.h"
#include "scratch_dir.h"
#include "tool_run.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using TRun = test::TToolRun;
using test::ShellQuote;

TBitmap Picture(int32_t w, int32_t h, uint8_t salt) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, RGB(static_cast<uint8_t>(x * 9 + salt), static_cast<uint8_t>(y * 5), salt));
  return b;
}

// The frame as the composer makes it in this process, for comparison with the tool's file.
TBitmap Expected(const TBitmap& oldPic, const TBitmap& newPic, int style, int progress, int step,
                 uint32_t seed) {
  TBitmap media(oldPic.Width(), oldPic.Height());
  TBitmap incoming = newPic;
  uint8_t p = static_cast<uint8_t>(progress);
  TRandom random(seed);
  TComposeHooks hooks;
  hooks.Invalidate = [](const TRect&) {};
  ComposeFrame(TComposeFrameArgs{oldPic, incoming, media, static_cast<uint8_t>(style), p,
                                 static_cast<uint16_t>(step), false, random, hooks});
  return media;
}

class RenderToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = test::ScratchDirFor("tovrin-render");
    SavePPM(FOld, Path("old.ppm"));
    SavePPM(FNew, Path("new.ppm"));
  }
  void TearDown() override { fs::remove_all(FDir); }

  std::string Path(const std::string& name) const { return (FDir / name).string(); }

  TRun Run(const std::vector<std::string>& args) {
    return test::RunTool(TOVRIN_RENDER_EXE, args, FDir);
  }

  // Standard output of a run that must succeed.
  std::string Output(const std::vector<std::string>& args) {
    const TRun r = Run(args);
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    return r.Out;
  }

  fs::path FDir;
  TBitmap FOld = Picture(41, 29, 10);
  TBitmap FNew = Picture(41, 29, 200);
};

TEST_F(RenderToolTest, FrameIsTheComposedMediaWithTheGivenSeedAndStep) {
  // Style 127 draws random numbers and reads Progress; 14 (roll) depends on the extents.
  for (const auto& [style, progress, step, seed] :
       {std::tuple{127, 60, 4, 99u}, std::tuple{14, 35, 4, 0u}, std::tuple{60, 75, 10, 0u},
        std::tuple{118, 50, 4, 0u}}) {
    std::vector<std::string> args = {"frame",
                                     "--style",
                                     std::to_string(style),
                                     "--progress",
                                     std::to_string(progress),
                                     "--old",
                                     Path("old.ppm"),
                                     "--new",
                                     Path("new.ppm"),
                                     "--out",
                                     Path("out.ppm")};
    if (step != 4) args.insert(args.end(), {"--step", std::to_string(step)});
    if (seed != 0) args.insert(args.end(), {"--seed", std::to_string(seed)});
    const TRun run = Run(args);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(LoadPPM(Path("out.ppm")), Expected(FOld, FNew, style, progress, step, seed))
        << "style " << style;
  }
  // The seed reaches the random styles: another seed gives another frame.
  ASSERT_EQ(Run({"frame", "--style", "127", "--progress", "60", "--seed", "100", "--old",
                 Path("old.ppm"), "--new", Path("new.ppm"), "--out", Path("other.ppm")})
                .ExitCode,
            0);
  EXPECT_NE(LoadPPM(Path("other.ppm")), Expected(FOld, FNew, 127, 60, 4, 99));
}

TEST_F(RenderToolTest, FramesListRendersEveryLine) {
  {
    std::ofstream list(Path("list.txt"));
    list << "# style progress step seed old new out\n"
         << "5 50 4 0 " << Path("old.ppm") << ' ' << Path("new.ppm") << ' ' << Path("a.ppm")
         << "\n\n"
         << "65 40 4 7 " << Path("old.ppm") << ' ' << Path("new.ppm") << ' ' << Path("b.ppm")
         << '\n'
         << "0 0 100 0 " << Path("new.ppm") << ' ' << Path("old.ppm") << ' ' << Path("c.ppm")
         << '\n';
  }
  const TRun run = Run({"frames", Path("list.txt")});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(LoadPPM(Path("a.ppm")), Expected(FOld, FNew, 5, 50, 4, 0));
  EXPECT_EQ(LoadPPM(Path("b.ppm")), Expected(FOld, FNew, 65, 40, 4, 7));
  EXPECT_EQ(LoadPPM(Path("c.ppm")), FOld) << "style 0 cuts to the new picture";
}

TEST_F(RenderToolTest, StripLaysOutAWholeRun) {
  const TRun run = Run({"strip", "--style", "51", "--step", "25", "--old", Path("old.ppm"), "--new",
                        Path("new.ppm"), "--out", Path("sheet.ppm"), "--columns", "3",
                        "--thumb-width", "20", "--frames-dir", Path("frames")});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  // Progress 0, 25, 50, 75, 100: five thumbnails in rows of three, 20 x 14 each, 4-pixel gaps.
  const TBitmap sheet = LoadPPM(Path("sheet.ppm"));
  EXPECT_EQ(sheet.Width(), 3 * 20 + 4 * 4);
  EXPECT_EQ(sheet.Height(), 2 * 14 + 3 * 4);
  EXPECT_EQ(LoadPPM(Path("frames/frame_050.ppm")), Expected(FOld, FNew, 51, 50, 25, 0));
  EXPECT_EQ(LoadPPM(Path("frames/frame_100.ppm")), FNew);
}

TEST_F(RenderToolTest, StripScalesPicturesOfDifferentSizesToOneSize) {
  SavePPM(Picture(17, 50, 3), Path("tall.ppm"));
  const TRun run = Run({"strip", "--style", "5", "--step", "50", "--old", Path("old.ppm"), "--new",
                        Path("tall.ppm"), "--out", Path("sheet.ppm"), "--size", "30x20",
                        "--frames-dir", Path("frames")});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const TBitmap last = LoadPPM(Path("frames/frame_100.ppm"));
  EXPECT_EQ(last.Width(), 30);
  EXPECT_EQ(last.Height(), 20);
  // Progress 0 of a wipe is the old picture scaled with the show's filter, 100 the new one.
  TBitmap oldScaled(30, 20), newScaled(30, 20);
  StretchDrawGraphic(oldScaled, TRect{0, 0, 30, 20}, FOld);
  StretchDrawGraphic(newScaled, TRect{0, 0, 30, 20}, LoadPPM(Path("tall.ppm")));
  EXPECT_EQ(LoadPPM(Path("frames/frame_000.ppm")), oldScaled);
  EXPECT_EQ(last, newScaled);
  EXPECT_EQ(Run({"strip", "--style", "5", "--old", Path("old.ppm"), "--new", Path("tall.ppm"),
                 "--out", Path("x.ppm"), "--size", "30by20"})
                .ExitCode,
            2);
}

TEST_F(RenderToolTest, RefusalsSayWhatIsWrongAndExitNonZero) {
  SavePPM(Picture(40, 29, 1), Path("small.ppm"));
  { std::ofstream(Path("text.ppm")) << "not a picture"; }
  const std::string o = Path("old.ppm"), n = Path("new.ppm"), out = Path("x.ppm");
  struct TCase {
    std::vector<std::string> Args;
    int Exit;
    std::string Says;
  };
  const TCase cases[] = {
      {{"frame", "--style", "5", "--progress", "101", "--old", o, "--new", n, "--out", out},
       2,
       "--progress"},
      {{"frame", "--style", "128", "--progress", "1", "--old", o, "--new", n, "--out", out},
       2,
       "--style"},
      {{"frame", "--style", "5", "--old", o, "--new", n, "--out", out}, 2, "missing --progress"},
      {{"frame", "--style", "5", "--progress", "1", "--old", o, "--new", Path("small.ppm"), "--out",
        out},
       1,
       "differ in size"},
      {{"frame", "--style", "5", "--progress", "1", "--old", o, "--new", Path("none.ppm"), "--out",
        out},
       1,
       "none.ppm"},
      {{"frame", "--style", "5", "--progress", "1", "--old", o, "--new", Path("text.ppm"), "--out",
        out},
       1,
       "text.ppm"},
      {{"frame", "--style", "5", "--progress", "1", "--bogus", "1"}, 2, "unknown argument"},
      {{"paint"}, 2, "unknown command"},
  };
  for (const TCase& c : cases) {
    const TRun run = Run(c.Args);
    EXPECT_EQ(run.ExitCode, c.Exit) << run.Err;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << "stderr: " << run.Err;
  }
  EXPECT_FALSE(fs::exists(out)) << "nothing is written after a refusal";
  { std::ofstream(Path("bad.txt")) << "5 50 4 0 " << o << ' ' << n << '\n'; }
  const TRun run = Run({"frames", Path("bad.txt")});
  EXPECT_EQ(run.ExitCode, 2);
  EXPECT_NE(run.Err.find("bad.txt:1"), std::string::npos) << run.Err;
}

TEST_F(RenderToolTest, HelpListsEveryOptionWithItsDefault) {
  const std::string all = Output({"--help"});
  for (const char* command : {"frame", "frames", "strip"}) {
    const std::string help = Output({command, "--help"});
    EXPECT_NE(help.find(std::string("tovrin-render ") + command), std::string::npos) << help;
    EXPECT_NE(all.find(help), std::string::npos) << "the tool's help lacks " << command;
    EXPECT_EQ(test::OptionsWithoutDefault(help), std::vector<std::string>()) << command;
  }
  EXPECT_GE(test::OptionEntryCount(all), 18u);
}

TEST_F(RenderToolTest, NumbersAreDecimal) {
  // A base-guessing conversion would read 010 as 8, and take 0x10.
  const auto frame = [&](const char* step, const char* seed) {
    return Run({"frame", "--style", "127", "--progress", "60", "--step", step, "--seed", seed,
                "--old", Path("old.ppm"), "--new", Path("new.ppm"), "--out", Path("out.ppm")});
  };
  const TRun run = frame("010", "010");
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(LoadPPM(Path("out.ppm")), Expected(FOld, FNew, 127, 60, 10, 10));
  EXPECT_EQ(frame("10", "0x10").ExitCode, 2);
}

}  // namespace
}  // namespace tovrin
