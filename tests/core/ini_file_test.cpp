#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "core/errors.h"

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
  {
    // Closed before the next write: Windows does not replace a file another handle holds open.
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, "[Setup]\r\nmute=1\r\n");
  }
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

#ifndef _WIN32
// Holds the size a file written by this process may reach (RLIMIT_FSIZE), the way a full disk
// stops a write in the middle, and restores the limit and SIGXFSZ's action afterwards. Writing
// past the limit then fails with EFBIG instead of raising the signal.
class TFileSizeLimit {
 public:
  explicit TFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    signal(SIGXFSZ, FOldHandler);
  }
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  rlimit FOld{};
  void (*FOldHandler)(int) = SIG_DFL;
};

// A write that the disk stops part way must leave the settings that were there, byte for byte,
// and nothing else in the folder (rewriting the file in place lost them); one that succeeds
// replaces the file whole and keeps its permission bits.
TEST_F(IniFileTest, AFailedWriteLeavesTheOldFileWhole) {
  const std::string old = "[Setup]\r\nmute=0\r\n; kept by hand\r\n[Other]\r\nkey=value\r\n";
  struct TCase {
    const char* Name;
    rlim_t Limit;  // RLIM_INFINITY: the disk takes everything
    bool Fails;
  };
  const TCase cases[] = {
      {"disk full at once", 0, true},
      {"disk full after a few bytes", 10, true},
      {"room enough", RLIM_INFINITY, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    {
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      out << old;
    }
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    TIniFile ini(path);
    {
      TFileSizeLimit limit(c.Limit);
      if (c.Fails) {
        EXPECT_THROW(ini.WriteBool("Setup", "mute", true), EFCreateError);
      } else {
        EXPECT_NO_THROW(ini.WriteBool("Setup", "mute", true));
      }
    }
    std::ifstream in(path, std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(in)), {});
    if (c.Fails) {
      EXPECT_EQ(now, old);
    } else {
      EXPECT_EQ(now, "[Setup]\r\nmute=1\r\n\r\n[Other]\r\nkey=value\r\n");
      EXPECT_EQ(std::filesystem::status(path).permissions(),
                std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                    std::filesystem::perms::group_read);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
        << "a temporary file was left behind";
  }
}
#endif

}  // namespace
}  // namespace tovrin
