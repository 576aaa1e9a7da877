#include "core/output_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/errors.h"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = fs::temp_directory_path() /
           ("tovrin_output_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(FDir);
    fs::create_directories(FDir);
  }
  void TearDown() override { fs::remove_all(FDir); }
  std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  size_t FileCount() {
    return static_cast<size_t>(std::distance(fs::directory_iterator(FDir), {}));
  }
  fs::path FDir;
};

TEST_F(OutputFileTest, AbandonedOutputLeavesNothingAndKeepsTheOldFile) {
  const fs::path target = FDir / "show.scr";
  std::ofstream(target) << "old";
  {
    TOutputFile out(target.string());
    out.Write("new bytes");
    EXPECT_EQ(FileCount(), 2u);  // the old file and the temporary one
  }
  EXPECT_EQ(FileCount(), 1u);
  EXPECT_EQ(Read(target), "old");
}

TEST_F(OutputFileTest, CommitReplacesTheFileWhole) {
  const fs::path target = FDir / "show.scr";
  std::ofstream(target) << "old";
  TOutputFile out(target.string());
  out.Write("new ");
  out.Write("bytes");
  EXPECT_EQ(out.Size(), 9);
  out.Commit();
  EXPECT_EQ(Read(target), "new bytes");
  EXPECT_EQ(FileCount(), 1u);
}

#ifndef _WIN32
TEST_F(OutputFileTest, ReplacesASymbolicLinkInsteadOfWritingThroughIt) {
  const fs::path outside = FDir / "outside.txt";
  std::ofstream(outside) << "keep";
  const fs::path link = FDir / "picture.jpg";
  fs::create_symlink(outside, link);
  TOutputFile out(link.string());
  out.Write("jpeg");
  out.Commit();
  EXPECT_EQ(Read(outside), "keep");
  EXPECT_FALSE(fs::is_symlink(link));
  EXPECT_EQ(Read(link), "jpeg");
}
#endif

TEST_F(OutputFileTest, RefusesADirectoryOrAMissingParent) {
  EXPECT_THROW(TOutputFile(FDir.string()), EFCreateError);
  EXPECT_THROW(TOutputFile((FDir / "no" / "such" / "x.scr").string()), EFCreateError);
}

}  // namespace
}  // namespace tovrin
