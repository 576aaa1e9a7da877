// The entry routine on the headless back end: every mode, the single instance, the preview.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/entry.h"
#include "platform/headless/headless_platform.h"
#include "saver_builder.h"

namespace tovrin::testing {
namespace {

const uint32_t kOrange = 0xF08020;

class EntryTest : public ::testing::Test {
 protected:
  EntryTest()
      : FFolder(std::string("entry_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name()) {
    InitializeEngine();
    std::filesystem::create_directories(FFolder.Path() / "tmp");
    FSettings.SetVer("photo");
    FSettings.SetTitle("Harbour");
    WriteSaver(ExeName(), FSettings, {FlatJpeg(40, 30, kOrange)});
  }
  std::string ExeName() const { return FFolder.Dir() + "Harbour.scr"; }
  std::unique_ptr<THeadlessPlatform> MakePlatform() {
    THeadlessScript script;
    script.ScreenWidth = 64;
    script.ScreenHeight = 48;
    script.ExeName = ExeName();
    script.TempDir = FFolder.Dir() + "tmp/";
    script.SettingsDir = FFolder.Dir();
    return std::make_unique<THeadlessPlatform>(script, FText,
                                               THeadlessApplication::TClockKind::ckVirtual, FLocks);
  }
  // Arranges for whatever window the mode opens to be ended by the user a little later.
  static void EndByUserLater(THeadlessPlatform& platform) {
    platform.App().PostAt(5000, [&platform] {
      if (platform.Form()) platform.Form()->KeyDown('Q');
      if (platform.SetupView()) platform.SetupView()->Model().ClickOK();
    });
  }
  size_t Count(THeadlessPlatform& p, const std::string& prefix) {
    size_t n = 0;
    for (const auto& l : p.Log()) n += l.rfind(prefix, 0) == 0;
    return n;
  }

  TScratchFolder FFolder;
  TBoxTextRenderer FText;
  TSSFileLocations FSettings;
  std::shared_ptr<THeadlessLockTable> FLocks = std::make_shared<THeadlessLockTable>();
};

TEST_F(EntryTest, EveryCommandLineRunsItsMode) {
  struct TCase {
    const char* arg1;
    const char* arg2;
    TSaverMode mode;
    const char* evidence;  // a call only that mode makes
  };
  const TCase cases[] = {
      {"", "", smSetup, "Setup.Show"},
      {"/c", "", smSetup, "Setup.Show"},
      {"/c:5678", "", smSetup, "Setup.Show"},
      {"C", "", smSetup, "Setup.Show"},
      {"/s", "", smShow, "Window.Show"},
      {"-S", "", smShow, "Window.Show"},
      {"/X", "", smShow, "Window.Show"},
      {"-", "", smShow, "Window.Show"},
      {"/a", "1234", smChangePassword, "PasswordChanger.Change(SCRSAVE,1234,0,0)"},
      {"Apple", "77", smChangePassword, "PasswordChanger.Change(SCRSAVE,77,0,0)"},
      {"/p", "1234", smPreview, "Preview.Draw"},
      {"/preview", "1234", smPreview, "Preview.Draw"},
      {"p", "1234", smPreview, "Preview.Draw"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.arg1) + " " + c.arg2);
    auto platform = MakePlatform();
    THeadlessPreviewWindow& host = platform->AddPreviewWindow(1234, TRect{0, 0, 50, 40});
    platform->App().PostAt(3000, [&host] { host.Visible = false; });
    EndByUserLater(*platform);
    const TEntryRun run = RunEntry(*platform, c.arg1, c.arg2);
    EXPECT_EQ(run.Mode, c.mode);
    EXPECT_FALSE(run.Failed);
    EXPECT_EQ(Count(*platform, c.evidence), 1u);
    // The password change never takes the instance lock; every other mode does.
    EXPECT_EQ(Count(*platform, "InstanceLock(Harbour.scrSemaphore)"),
              c.mode == smChangePassword ? 0u : 1u);
    EXPECT_TRUE(FLocks->Names.empty());  // released when the run ends
  }
}

// The show mode's window asks the password verifier before input may end the show.
TEST_F(EntryTest, ShowModeAsksThePasswordVerifier) {
  auto platform = MakePlatform();
  platform->Script().UsePassword = {TRegistryRead::rrValue, 1};
  EndByUserLater(*platform);
  EXPECT_FALSE(RunEntry(*platform, "/s", "").Failed);
  EXPECT_EQ(Count(*platform, "Verifier.Verify=1"), 1u);
}

TEST_F(EntryTest, BadHandleOrMissingLibraryEndsQuietly) {
  struct TCase {
    const char* arg1;
    const char* arg2;
    bool changerInstalled;
    bool failed;
  };
  const TCase cases[] = {
      {"/p", "", true, true},  // no handle: the strict conversion raises
      {"/p", "12x", true, true},    {"/a", "", true, true},
      {"/a", "", false, false},  // without the library the handle is never read
      {"/a", "1234", false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.arg1) + " '" + c.arg2 + "'");
    auto platform = MakePlatform();
    platform->Script().PasswordChangerInstalled = c.changerInstalled;
    const TEntryRun run = RunEntry(*platform, c.arg1, c.arg2);
    EXPECT_EQ(run.Failed, c.failed);
    EXPECT_EQ(Count(*platform, "PasswordChanger.Change"), 0u);
    EXPECT_EQ(Count(*platform, "Preview.Draw"), 0u);
  }
}

TEST_F(EntryTest, SecondInstanceOfTheSameFileNameEndsAtOnce) {
  FLocks->Names.insert("Harbour.scrSemaphore");  // another process runs the same saver
  for (const char* arg : {"/s", "/c", "/p"}) {
    SCOPED_TRACE(arg);
    auto platform = MakePlatform();
    platform->AddPreviewWindow(1234, TRect{0, 0, 50, 40});
    const TEntryRun run = RunEntry(*platform, arg, "1234");
    EXPECT_TRUE(run.SecondInstance);
    EXPECT_EQ(platform->Form(), nullptr);
    EXPECT_EQ(Count(*platform, "Window.Show"), 0u);
    EXPECT_EQ(Count(*platform, "Setup.Show"), 0u);
    EXPECT_EQ(Count(*platform, "Preview.Draw"), 0u);
  }
  auto platform = MakePlatform();
  EXPECT_FALSE(RunEntry(*platform, "/a", "99").SecondInstance);
  EXPECT_EQ(Count(*platform, "PasswordChanger.Change"), 1u);
}

TEST_F(EntryTest, PreviewStretchesTheFirstPictureOverTheHostWindow) {
  auto platform = MakePlatform();
  // A 152 x 112 host: the picture is drawn 153 x 113 from (0, 0), clipped by the window.
  THeadlessPreviewWindow& host = platform->AddPreviewWindow(4242, TRect{300, 200, 452, 312});
  host.Client.Fill(0x000000);
  platform->App().PostAt(10000, [&host] { host.Visible = false; });
  const TEntryRun run = RunEntry(*platform, "/p", "4242");
  EXPECT_FALSE(run.Failed);
  ASSERT_EQ(host.DrawCount, 1);
  EXPECT_EQ(Count(*platform, "Preview.Draw(153x113)"), 1u);
  for (const TPoint p : {TPoint{0, 0}, TPoint{151, 111}, TPoint{76, 56}}) {
    const uint8_t* px = host.Client.ScanLine(p.Y) + p.X * 3;
    const uint32_t rgb = (uint32_t{px[2]} << 16) | (uint32_t{px[1]} << 8) | px[0];
    EXPECT_NEAR(static_cast<int>(rgb >> 16), 0xF0, 6);
    EXPECT_NEAR(static_cast<int>((rgb >> 8) & 0xFF), 0x80, 6);
  }
  // It stayed until the host was hidden, waiting rather than spinning.
  EXPECT_GE(platform->App().TickCount(), 10000u);
  EXPECT_LT(platform->App().PumpCount(), 10000u / 50 * 3);
}

// A JPEG whose frame header claims width x height while its data covers only the first few
// blocks: libjpeg decodes the rest as mid grey. Decoded at full size it needs more than a bitmap
// may take; at a reduced scale, a few megabytes.
std::vector<uint8_t> HugeJpeg(uint16_t width, uint16_t height) {
  std::vector<uint8_t> jpeg = FlatJpeg(16, 16, kOrange);
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {  // SOF0: length, precision, height, width
      jpeg[i + 5] = static_cast<uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<uint8_t>(height);
      jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<uint8_t>(width);
      return jpeg;
    }
  }
  ADD_FAILURE() << "no SOF0 marker";
  return jpeg;
}

// The preview decodes the picture at the smallest reduced scale that covers its window. These
// pictures need more than a bitmap may take (1 GiB) at full size, so a full-size decoding fails
// and draws nothing; reduced to cover a thumbnail they take a few megabytes. (The preview
// decoded at full size: up to 1 GiB for a few thousand pixels, and nothing at all beyond.)
TEST_F(EntryTest, PreviewDecodesThePictureOnlyAsLargeAsTheWindowNeeds) {
  struct TCase {
    uint16_t width;
    uint16_t height;
    TRect window;
  };
  const TCase cases[] = {
      {32000, 12000, TRect{0, 0, 152, 112}},
      {6000, 65000, TRect{40, 30, 60, 180}},  // tall and narrow, in a tall window
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    WriteSaver(ExeName(), FSettings, {HugeJpeg(c.width, c.height)});
    auto platform = MakePlatform();
    THeadlessPreviewWindow& host = platform->AddPreviewWindow(99, c.window);
    platform->App().PostAt(1000, [&host] { host.Visible = false; });
    const TEntryRun run = RunEntry(*platform, "/p", "99");
    EXPECT_FALSE(run.Failed);
    ASSERT_EQ(host.DrawCount, 1);
    // Away from the few blocks of real data the picture is mid grey.
    const int32_t w = c.window.Right - c.window.Left, h = c.window.Bottom - c.window.Top;
    const uint8_t* centre = host.Client.ScanLine(h / 2) + (w / 2) * 3;
    for (int channel = 0; channel < 3; ++channel) EXPECT_NEAR(centre[channel], 128, 4);
  }
}

TEST_F(EntryTest, PreviewWaitsForTheHostAndEndsWhenItGoes) {
  struct TCase {
    const char* name;
    bool visibleAtFirst;
    bool destroyInstead;
    int draws;
  };
  const TCase cases[] = {
      {"shown later, then destroyed", false, true, 1},
      {"never shown, destroyed", false, true, 0},
      {"visible, then destroyed", true, true, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    auto platform = MakePlatform();
    THeadlessPreviewWindow& host =
        platform->AddPreviewWindow(7, TRect{0, 0, 20, 20}, c.visibleAtFirst);
    if (!c.visibleAtFirst && c.draws > 0) {
      platform->App().PostAt(400, [&host] { host.Visible = true; });
    }
    platform->App().PostAt(2000, [&host] { host.Destroyed = true; });
    RunEntry(*platform, "/p", "7");
    EXPECT_EQ(host.DrawCount, c.draws);
    EXPECT_GE(platform->App().TickCount(), 2000u);
  }
}

TEST_F(EntryTest, PreviewOfAProgramWithoutPackageDrawsNothing) {
  std::ofstream(ExeName(), std::ios::binary | std::ios::trunc) << std::string(5000, 'M');
  auto platform = MakePlatform();
  THeadlessPreviewWindow& host = platform->AddPreviewWindow(7, TRect{0, 0, 20, 20});
  const TEntryRun run = RunEntry(*platform, "/p", "7");
  EXPECT_TRUE(run.Failed);  // dropped without a message
  EXPECT_EQ(host.DrawCount, 0);
  EXPECT_EQ(Count(*platform, "MessageBox"), 0u);
}

}  // namespace
}  // namespace tovrin::testing
