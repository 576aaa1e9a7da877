// Runs the engine executable on a package appended to a copy of itself.
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

TRunResult RunProgram(const std::string& program, const std::string& args, const fs::path& dir) {
  const fs::path out = dir / "output.txt";
  const std::string command = "'" + program + "' " + args + " >'" + out.string() + "' 2>&1";
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

TEST_F(Engine, ReadsItsPackageAndSaysWhatItWouldRun) {
  const std::string program = PackagedEngine();
  TRunResult show = RunProgram(program, "/s", FDir);
  EXPECT_EQ(show.Status, 3);
  EXPECT_EQ(show.Output,
            "show mode: 2 pictures, 1 sound, 0 movies; display back end not built yet\n");
  TRunResult setup = RunProgram(program, "", FDir);
  EXPECT_EQ(setup.Status, 3);
  EXPECT_TRUE(setup.Output.starts_with("setup mode: 2 pictures")) << setup.Output;
  TRunResult preview = RunProgram(program, "/p 1234", FDir);
  EXPECT_EQ(preview.Status, 3);
  EXPECT_TRUE(preview.Output.starts_with("preview mode: ")) << preview.Output;
}

TEST_F(Engine, FailuresEndWithStatusOne) {
  // The bare engine has no package.
  TRunResult bare = RunProgram(TOVRIN_ENGINE, "/s", FDir);
  EXPECT_EQ(bare.Status, 1);
  EXPECT_NE(bare.Output.find("Invalid stream format"), std::string::npos) << bare.Output;
  // Preview without a host window handle.
  TRunResult preview = RunProgram(PackagedEngine(), "/p", FDir);
  EXPECT_EQ(preview.Status, 1);
  TRunResult help = RunProgram(TOVRIN_ENGINE, "--help", FDir);
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Output.find("/P <window>"), std::string::npos);
}

#endif

}  // namespace
}  // namespace tovrin
