#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tovrin {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("tovrin_ini_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
    path = (dir / "CONTROL.INI").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
  std::string path;
};

TEST_F(IniFileTest, MissingFileReadsDefaults) {
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("Setup", "mute", "x"), "x");
  EXPECT_TRUE(ini.ReadBool("Setup", "mute", true));
  EXPECT_FALSE(ini.ValueExists("Setup", "mute"));
}

TEST_F(IniFileTest, WrittenBooleansAreOneOrZeroAndSurviveReload) {
  {
    TIniFile ini(path);
    ini.WriteBool("Setup", "mute", true);
  }
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, "[Setup]\r\nmute=1\r\n");
  TIniFile again(path);
  EXPECT_TRUE(again.ReadBool("setup", "MUTE", false));
  again.WriteBool("Setup", "mute", false);
  EXPECT_FALSE(TIniFile(path).ReadBool("Setup", "mute", true));
}

TEST_F(IniFileTest, ReadsHandWrittenFilesLeniently) {
  {
    std::ofstream out(path, std::ios::binary);
    out << "; comment\n[Language]\nTitle = Einstellungen \r\nnot a "
           "pair\n[Setup]\nmute=yes\nother=5\n";
  }
  TIniFile ini(path);
  EXPECT_EQ(ini.ReadString("LANGUAGE", "title", ""), "Einstellungen");
  // A value that is not a number leaves the default.
  EXPECT_TRUE(ini.ReadBool("Setup", "mute", true));
  EXPECT_FALSE(ini.ReadBool("Setup", "mute", false));
  EXPECT_TRUE(ini.ReadBool("Setup", "other", false));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Language", "Setup"}));
  EXPECT_EQ(ini.ReadSection("Setup"), (std::vector<std::string>{"mute", "other"}));
}

}  // namespace
}  // namespace tovrin
