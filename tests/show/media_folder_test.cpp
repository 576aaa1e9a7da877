// The show's media folder: private from the start, marked with its owner, and the folders of
// shows that ended without removing theirs cleared away, nothing else.
#include "show/media_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "core/errors.h"
#include "show_fixture.h"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

const uint32_t kBlue = 0x1030C0;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The processes the headless system reports: 500 is this one (started at 77), 101 has ended,
// 102 runs since 5, 104 and 105 run since 9, and any other id runs with no start time told.
class MediaFolderTest : public ::testing::Test {
 protected:
  MediaFolderTest()
      : FFolder(std::string("media_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    THeadlessScript script;
    script.TempDir = FFolder.Dir();
    script.ProcessId = 500;
    script.ProcessStarts = {{500, 77}, {102, 5}, {104, 9}, {105, 9}};
    script.EndedProcesses = {101};
    FPlatform = std::make_unique<THeadlessPlatform>(script, FText);
  }
  const TSystemServices& System() { return FPlatform->System(); }

  TScratchFolder FFolder;
  TBoxTextRenderer FText;
  std::unique_ptr<THeadlessPlatform> FPlatform;
};

TEST_F(MediaFolderTest, MadePrivateWhateverTheUmask) {
  for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
    SCOPED_TRACE(mask);
    const mode_t old = umask(mask);
    TMediaFolder folder;
    folder.Create(FFolder.Dir());
    umask(old);
    const std::string path = folder.Path();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.back(), '/');
    struct stat st;
    ASSERT_EQ(lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    folder.Remove();
    EXPECT_FALSE(fs::exists(path));
  }
  EXPECT_THROW(TMediaFolder().Create(FFolder.Dir() + "missing/"), EFCreateError);
}

// A show's folder names its owner; it stays while that process runs and goes once it has ended.
TEST_F(MediaFolderTest, AShowMarksItsFolderAsItsOwn) {
  TMediaFolder folder;
  folder.Create(FFolder.Dir(), System());
  const fs::path path = folder.Path();
  EXPECT_EQ(ReadFile(path / ".tovrin-owner"), "500 77\n");
  EXPECT_EQ(RemoveAbandonedMediaFolders(FFolder.Dir(), System()), 0);
  EXPECT_TRUE(fs::is_directory(path)) << "a live show's folder is kept";
  FPlatform->Script().EndedProcesses.insert(500);
  EXPECT_EQ(RemoveAbandonedMediaFolders(FFolder.Dir(), System()), 1);
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(MediaFolderTest, RemovesOnlyTheFoldersOfShowsThatEnded) {
  enum class TEntry { eFolder, eFile, eLinkToFolder, eOtherUsersFolder };
  enum class TMarker { mNone, mFile, mLinkToFile, mFolder };
  struct TCase {
    const char* Why;
    const char* Name;
    TEntry Entry;
    TMarker Marker;
    std::string Text;  // the marker's bytes (or the linked file's)
    bool Removed;
  };
  const TCase cases[] = {
      {"owner ended", "tovrin-aB3dE9", TEntry::eFolder, TMarker::mFile, "101 5\n", true},
      {"owner runs", "tovrin-aB3dE8", TEntry::eFolder, TMarker::mFile, "102 5\n", false},
      {"owner runs, start not told", "tovrin-Zz0000", TEntry::eFolder, TMarker::mFile, "103 5\n",
       false},
      {"id taken by a later process", "tovrin-000001", TEntry::eFolder, TMarker::mFile, "104 5\n",
       true},
      {"start not recorded", "tovrin-000002", TEntry::eFolder, TMarker::mFile, "105 0\n", false},
      {"no marker", "tovrin-000003", TEntry::eFolder, TMarker::mNone, "", false},
      {"marker not a number", "tovrin-000004", TEntry::eFolder, TMarker::mFile, "abc 5\n", false},
      {"marker without start", "tovrin-000005", TEntry::eFolder, TMarker::mFile, "101\n", false},
      {"marker cut short", "tovrin-000006", TEntry::eFolder, TMarker::mFile, "101 5", false},
      {"negative id", "tovrin-000007", TEntry::eFolder, TMarker::mFile, "-101 5\n", false},
      {"id 0", "tovrin-000008", TEntry::eFolder, TMarker::mFile, "0 5\n", false},
      {"text after the line", "tovrin-000009", TEntry::eFolder, TMarker::mFile, "101 5\nx", false},
      {"two spaces", "tovrin-00000a", TEntry::eFolder, TMarker::mFile, "101  5\n", false},
      {"empty marker", "tovrin-00000b", TEntry::eFolder, TMarker::mFile, "", false},
      {"oversized marker", "tovrin-00000c", TEntry::eFolder, TMarker::mFile,
       std::string(80, '0') + "101 5\n", false},
      {"marker is a link", "tovrin-00000d", TEntry::eFolder, TMarker::mLinkToFile, "101 5\n",
       false},
      {"marker is a folder", "tovrin-00000e", TEntry::eFolder, TMarker::mFolder, "", false},
      {"a link named like ours", "tovrin-00000f", TEntry::eLinkToFolder, TMarker::mFile, "101 5\n",
       false},
      {"a file named like ours", "tovrin-00000g", TEntry::eFile, TMarker::mNone, "101 5\n", false},
      {"another user's folder", "tovrin-00000h", TEntry::eOtherUsersFolder, TMarker::mFile,
       "101 5\n", false},
      {"name too short", "tovrin-00000", TEntry::eFolder, TMarker::mFile, "101 5\n", false},
      {"name too long", "tovrin-0000000", TEntry::eFolder, TMarker::mFile, "101 5\n", false},
      {"not a letter or digit", "tovrin-0000.i", TEntry::eFolder, TMarker::mFile, "101 5\n", false},
      {"another prefix", "Tovrin-00000j", TEntry::eFolder, TMarker::mFile, "101 5\n", false},
  };
  const bool root = getuid() == 0;  // only root can give a folder to another user
  const fs::path parent = FFolder.Path() / "tmp";
  const fs::path outside = FFolder.Path() / "outside";
  fs::create_directories(parent);
  fs::create_directories(outside);
  int expectRemoved = 0;
  int n = 0;
  for (const TCase& c : cases) {
    if (c.Entry == TEntry::eOtherUsersFolder && !root) continue;
    const fs::path entry = parent / c.Name;
    // Where the marker goes: in the folder itself, or in the folder a link points to.
    fs::path folder = entry;
    if (c.Entry == TEntry::eLinkToFolder) {
      folder = outside / ("linked-" + std::to_string(n));
      fs::create_symlink(folder, entry);
    }
    ++n;
    if (c.Entry == TEntry::eFile) {
      WriteFile(entry, c.Text);
      continue;
    }
    fs::create_directory(folder);
    const fs::path marker = folder / ".tovrin-owner";
    switch (c.Marker) {
      case TMarker::mNone:
        break;
      case TMarker::mFile:
        WriteFile(marker, c.Text);
        break;
      case TMarker::mLinkToFile: {
        const fs::path real = outside / ("marker-" + std::to_string(n));
        WriteFile(real, c.Text);
        fs::create_symlink(real, marker);
        break;
      }
      case TMarker::mFolder:
        fs::create_directory(marker);
        break;
    }
    WriteFile(folder / "theme.wav", "sound");
    if (c.Entry == TEntry::eOtherUsersFolder) {
      ASSERT_EQ(chown(folder.c_str(), 12345, 12345), 0);
    }
    if (c.Removed) ++expectRemoved;
  }

  EXPECT_EQ(RemoveAbandonedMediaFolders(parent.string(), System()), expectRemoved);
  for (const TCase& c : cases) {
    if (c.Entry == TEntry::eOtherUsersFolder && !root) continue;
    EXPECT_EQ(!fs::exists(fs::symlink_status(parent / c.Name)), c.Removed) << c.Why;
  }
  // Nothing outside the temporary directory was touched through a link.
  for (const fs::directory_entry& e : fs::directory_iterator(outside)) {
    if (e.is_directory() && !e.is_symlink()) {
      EXPECT_EQ(ReadFile(e.path() / "theme.wav"), "sound") << e.path();
    }
  }
}

// At its first activation a show clears what ended shows left in the temporary directory and
// leaves the folders of shows that still run.
TEST_F(ShowTest, ActivationRemovesTheFoldersOfEndedShows) {
  FSettings.SetlMute(true);
  Build({FlatJpeg(16, 16, kBlue)}, {{"theme.wav", MakeWave(100, 1)}});
  const fs::path tmp = FFolder.Path() / "tmp";
  for (const auto& [name, owner] :
       {std::pair{"tovrin-Dead01", "4001 1\n"}, std::pair{"tovrin-Live01", "4002 1\n"}}) {
    fs::create_directory(tmp / name);
    WriteFile(tmp / name / ".tovrin-owner", owner);
    WriteFile(tmp / name / "theme.wav", "left behind");
  }
  Script().EndedProcesses = {4001};
  Start();
  EXPECT_FALSE(fs::exists(tmp / "tovrin-Dead01"));
  EXPECT_TRUE(fs::exists(tmp / "tovrin-Live01" / "theme.wav"));
  const std::string own = Show().MediaDir();
  ASSERT_FALSE(own.empty());
  EXPECT_TRUE(fs::exists(own + "theme.wav"));
  EXPECT_FALSE(ReadFile(own + ".tovrin-owner").empty()) << "the show's own folder is marked";
}

}  // namespace
}  // namespace tovrin::testing
