// `tovrin-pack install` and `install --uninstall` run for real against a temporary HOME.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "scratch_dir.h"
#include "test_jpeg.h"
#include "tool_run.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using TRun = test::TToolRun;
using test::ReadText;
using test::ShellQuote;

void WriteText(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

// ~/.xscreensaver as XScreenSaver writes it, in part.
const std::string kSettings =
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:10:00\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\t  maze -root\t\t\t\t    \\n\\\n"
    "  GL: \t\t\t\t  superquadrics -root\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n";

class InstallToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A home folder whose name is not ASCII and holds a blank, as real ones may.
    FDir = test::ScratchDirFor("tovrin-install");
    FHome = FDir / "h\xC3\xB6me dir";
    fs::create_directories(FHome);
    // The engine is any file; an ELF-like start marks it as a Linux program.
    std::string engine =
        "\x7f"
        "ELF";
    for (int i = 0; i < 3000; ++i) engine += static_cast<char>(i * 7 + 3);
    WriteText(FDir / "engine", engine);
    fs::permissions(FDir / "engine", fs::perms::owner_all);
    const std::vector<uint8_t> jpeg = test::MakeJpeg({16, 8, false, false, 1});
    WriteText(FDir / "a.jpg", std::string(jpeg.begin(), jpeg.end()));
    const TRun built = Run({"build", "--engine", (FDir / "engine").string(), "-o", Saver().string(),
                            "--title", "Nature photos", (FDir / "a.jpg").string()});
    ASSERT_EQ(built.ExitCode, 0) << built.Err;
  }
  void TearDown() override { fs::remove_all(FDir); }

  fs::path Saver() const { return FDir / "nature"; }
  fs::path Program(const std::string& name = "nature") const {
    return FHome / ".local" / "libexec" / "xscreensaver" / name;
  }
  fs::path Description(const std::string& name = "nature") const {
    return FHome / ".local" / "share" / "xscreensaver" / "config" / (name + ".xml");
  }
  fs::path Settings() const { return FHome / ".xscreensaver"; }

  TRun Run(const std::vector<std::string>& args) {
    return test::RunTool(TOVRIN_PACK_EXE, args, FDir,
                         "env -u XDG_DATA_HOME HOME=" + ShellQuote(FHome.string()) + " ");
  }

  fs::path FDir, FHome;
};

TEST_F(InstallToolTest, InstallsAndUninstallsToTheOriginalBytes) {
  WriteText(Settings(), kSettings);
  fs::permissions(Settings(), fs::perms::owner_read | fs::perms::owner_write);
  // The backup holds the bytes before the last change; installed again, the saver keeps one entry.
  for (int round = 0; round < 2; ++round) {
    const TRun r = Run({"install", Saver().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    if (round == 0) {
      EXPECT_EQ(ReadText(FHome / ".xscreensaver.tovrin-backup"), kSettings);
    }
  }
  // The program: the saver's bytes, executable.
  EXPECT_EQ(ReadText(Program()), ReadText(Saver()));
  EXPECT_NE(fs::status(Program()).permissions() & fs::perms::owner_exec, fs::perms::none);
  // The description: its name and the saver's title as the label.
  const std::string xml = ReadText(Description());
  EXPECT_NE(xml.find("<screensaver name=\"nature\" _label=\"Nature photos\">"), std::string::npos)
      << xml;
  // The list: one entry, first, running the program by its absolute path (quoted: the home
  // folder's name holds a blank); every other line as it was; the old bytes kept.
  const std::string settings = ReadText(Settings());
  const std::string entry = "\"Nature photos\" '" + Program().string() + "' --root \\n\\\n";
  const size_t at = settings.find(entry);
  ASSERT_NE(at, std::string::npos) << settings;
  EXPECT_EQ(settings.find(entry, at + 1), std::string::npos) << "entered twice:\n" << settings;
  EXPECT_LT(at, settings.find("maze -root"));
  // The settings file keeps its permissions (it may hold a password hash on some systems).
  EXPECT_EQ(fs::status(Settings()).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);

  const TRun r = Run({"install", "--uninstall", "nature"});
  ASSERT_EQ(r.ExitCode, 0) << r.Err;
  EXPECT_EQ(ReadText(Settings()), kSettings);
  EXPECT_FALSE(fs::exists(Program()));
  EXPECT_FALSE(fs::exists(Description()));
  // Nothing left to uninstall.
  const TRun again = Run({"install", "--uninstall", "nature"});
  EXPECT_EQ(again.ExitCode, 1);
  EXPECT_NE(again.Err.find("no saver named \"nature\" is installed"), std::string::npos)
      << again.Err;
}

TEST_F(InstallToolTest, SaysWhatItCouldNotDo) {
  struct TCase {
    const char* Why;
    std::optional<std::string> Settings;  // nullopt: no ~/.xscreensaver
    std::vector<std::string> Args;
    int ExitCode;
    const char* Message;    // on standard error
    bool ProgramInstalled;  // the program and the description were written
  };
  const TCase cases[] = {
      {"no ~/.xscreensaver yet", std::nullopt, {"install", "SAVER"}, 1, "does not exist yet", true},
      {"no programs list",
       std::string("timeout: 0:10:00\n"),
       {"install", "SAVER"},
       1,
       "has no programs: list",
       true},
      {"not a saver",
       kSettings,
       {"install", "ENGINE", "--name", "nature"},
       1,
       "not a Tovrin screen saver",
       false},
      {"a name that cannot be a file",
       kSettings,
       {"install", "SAVER", "--name", "../x"},
       1,
       "cannot name an installed saver",
       false},
      {"a label with a quote",
       kSettings,
       {"install", "SAVER", "--label", "a\"b"},
       1,
       "cannot be used",
       false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Why);
    fs::remove_all(FHome);
    fs::create_directories(FHome);
    if (c.Settings) WriteText(Settings(), *c.Settings);
    std::vector<std::string> args = c.Args;
    for (std::string& a : args) {
      if (a == "SAVER") a = Saver().string();
      if (a == "ENGINE") a = (FDir / "engine").string();
    }
    const TRun r = Run(args);
    EXPECT_EQ(r.ExitCode, c.ExitCode) << r.Err;
    EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
    EXPECT_EQ(fs::exists(Program()), c.ProgramInstalled);
    EXPECT_EQ(fs::exists(Description()), c.ProgramInstalled);
    // The settings file is never created or changed when its part was not done.
    if (c.Settings) {
      EXPECT_EQ(ReadText(Settings()), *c.Settings);
    } else {
      EXPECT_FALSE(fs::exists(Settings()));
    }
  }
}

}  // namespace
}  // namespace tovrin
