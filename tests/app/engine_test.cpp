// Runs the Linux engine executable, bare and with a package appended to a copy of itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "package/object_writer.h"
#include "package/stream.h"
#include "test_jpeg.h"

namespace fs = std::filesystem;

namespace tovrin {
namespace {

#ifndef _WIN32

struct TRunResult {
  int Status;
  std::string Output;
};

// program is quoted unless it is a command line of its own (it then starts with "env").
TRunResult RunProgram(const std::string& program, const std::string& args, const fs::path& dir) {
  const fs::path out = dir / "output.txt";
  const std::string quoted = program.rfind("env ", 0) == 0 ? program : "'" + program + "'";
  const std::string command = quoted + " " + args + " >'" + out.string() + "' 2>&1";
  const int raw = std::system(command.c_str());
  std::ifstream f(out);
  std::stringstream text;
  text << f.rdbuf();
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text.str()};
}

std::string Field(int64_t v) {
  std::string s = std::to_string(v);
  s.resize(20, ' ');
  return s;
}

class Engine : public ::testing::Test {
 protected:
  void SetUp() override {
    // One folder per test and process: ctest runs the tests of this program in parallel.
    FDir = fs::temp_directory_path() /
           ("tovrin_engine_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
            std::to_string(getpid()));
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }

  // A copy of the engine with a package of two pictures and one sound appended.
  std::string PackagedEngine() {
    const std::string path = (FDir / "show.scr").string();
    fs::copy_file(TOVRIN_ENGINE, path);
    TFileStream file(path, TFileMode::fmOpenRead);
    const int64_t imageSize = file.Size();
    TMemoryStream package;
    TSSFileLocations settings;
    const std::vector<uint8_t> jpeg = test::MakeJPEG(32, 24);
    for (int i = 0; i < 2; ++i) {
      settings.PicList().push_back(std::to_string(imageSize + package.Position()));
      WritePictureItem(package, jpeg);
    }
    settings.SndList().push_back(std::to_string(imageSize + package.Position()));
    settings.SndFileNameList().push_back("a.mp3");
    settings.SndSizeList().push_back("3");
    package.WriteBuffer("abc", 3);
    const int64_t settingsOffset = imageSize + package.Position();
    WriteShowSettings(package, settings);
    const std::string trailer = Field(package.Size()) + Field(settingsOffset);
    package.WriteBuffer(trailer.data(), trailer.size());
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(package.Bytes().data()),
              static_cast<std::streamsize>(package.Size()));
    out.close();
    fs::permissions(path, fs::perms::owner_exec, fs::perm_options::add);
    return path;
  }

  fs::path FDir;
};

// Without a display every mode ends quietly, with or without a package, and whatever the
// handle: a screen saver never greets the user with an error on the way out.
TEST_F(Engine, WithoutADisplayEveryModeEndsQuietly) {
  const std::string packaged = PackagedEngine();
  for (const std::string& program : {packaged, std::string(TOVRIN_ENGINE)}) {
    for (const char* args : {"/s", "", "/c", "/p 1234", "/p", "/a 55", "--show", "--setup",
                             "--preview 0x4d2", "-root", "-window-id 1234"}) {
      const TRunResult run = RunProgram(
          "env -u DISPLAY -u WAYLAND_DISPLAY SDL_AUDIODRIVER=dummy '" + program + "'", args, FDir);
      EXPECT_EQ(run.Status, 0) << program << " " << args << ": " << run.Output;
    }
  }
}

TEST_F(Engine, HelpAndCommandLineMistakes) {
  const TRunResult help = RunProgram(TOVRIN_ENGINE, "--help", FDir);
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Output.find("--preview WINDOW"), std::string::npos) << help.Output;
  EXPECT_NE(help.Output.find("-window-id ID"), std::string::npos) << help.Output;
  for (const char* args : {"--preview", "--preview nowhere", "-window-id 0", "--show --setup"}) {
    const TRunResult run = RunProgram(TOVRIN_ENGINE, args, FDir);
    EXPECT_EQ(run.Status, 2) << args;
    EXPECT_NE(run.Output.find("usage: tovrin"), std::string::npos) << args << ": " << run.Output;
  }
}

#endif

}  // namespace
}  // namespace tovrin
