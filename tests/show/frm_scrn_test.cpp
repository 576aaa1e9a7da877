// The show window: its life cycle, its exit conditions and its input rules.
#include <filesystem>
#include <fstream>

#include "show_fixture.h"

namespace tovrin::testing {
namespace {

const uint32_t kRed = 0xE02010;
const uint32_t kBlue = 0x1030D0;

TEST_F(ShowTest, FirstActivationCoversTheScreenAndStartsOnTheFirstIdleMoment) {
  Build({FlatJpeg(32, 24, kRed), FlatJpeg(32, 24, kBlue)});
  TfrmScrn& show = Start();
  THeadlessWindow& window = *Platform().Form();
  EXPECT_FALSE(show.FirstActivate());
  EXPECT_EQ(window.Left(), 0);
  EXPECT_EQ(window.Top(), 0);
  EXPECT_EQ(window.ClientWidth(), 64);
  EXPECT_EQ(window.ClientHeight(), 48);
  EXPECT_TRUE(window.Topmost());
  EXPECT_TRUE(Platform().ScreenSaverRunning());
  EXPECT_EQ(Platform().CursorCount(), -1);
  EXPECT_EQ(show.MouseAnchor(), (TPoint{-1, -1}));
  EXPECT_FALSE(show.Started());

  RunPictures(1);
  EXPECT_TRUE(show.Started());
  ASSERT_EQ(FPictures, std::vector<int32_t>{0});
  // The screen shows the first picture once its transition is over.
  RunUntil(App().TickCount() + 1500);
  EXPECT_TRUE(Near(PixelAt(window.Screen(), 32, 24), kRed));

  // A later activation (back from the password dialog) loads nothing again.
  const size_t opens = LogCount("Window.SetBounds");
  window.Activate();
  EXPECT_EQ(LogCount("Window.SetBounds"), opens);
  EXPECT_EQ(LogCount("SetScreenSaverRunning(1)"), 1u);
}

TEST_F(ShowTest, MouseMovesEndTheShowOnlyPastTwoPixelsOnBothAxes) {
  struct TCase {
    const char* name;
    std::vector<TPoint> moves;
    bool ends;
  };
  const TCase cases[] = {
      {"first move only anchors", {{10, 10}}, false},
      {"two pixels on both axes", {{10, 10}, {12, 12}}, false},
      {"three pixels on both axes", {{10, 10}, {13, 13}}, true},
      {"fifty pixels on one axis", {{10, 10}, {60, 10}}, false},
      {"small moves add up against the anchor", {{10, 10}, {12, 12}, {13, 13}}, true},
      {"moving back and forth never adds up", {{10, 10}, {12, 12}, {10, 10}, {8, 12}}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Build({FlatJpeg(16, 16, kRed)});
    Start();
    for (const TPoint& p : c.moves) Platform().Form()->MouseMove(p.X, p.Y);
    EXPECT_EQ(Show().Halted(), c.ends);
    EXPECT_EQ(App().Terminated(), c.ends);
  }
}

TEST_F(ShowTest, PasswordSettingDecidesWhetherInputEndsTheShow) {
  struct TCase {
    const char* name;
    TRegistryInteger value;
    bool verifierInstalled;
    bool accepts;
    bool ends;
    bool asks;
  };
  const TCase cases[] = {
      {"no key", {TRegistryRead::rrNoKey, 0}, true, false, true, false},
      {"value 0", {TRegistryRead::rrValue, 0}, true, false, true, false},
      {"value missing", {TRegistryRead::rrMissing, 0}, true, false, true, false},
      {"value stored as text", {TRegistryRead::rrNotInteger, 0}, true, false, true, false},
      {"1, verifier accepts", {TRegistryRead::rrValue, 1}, true, true, true, true},
      {"1, verifier refuses", {TRegistryRead::rrValue, 1}, true, false, false, true},
      {"1, no verifier", {TRegistryRead::rrValue, 1}, false, false, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Build({FlatJpeg(16, 16, kRed)});
    Script().UsePassword = c.value;
    Script().VerifierInstalled = c.verifierInstalled;
    Script().VerifierAccepts = c.accepts;
    Start();
    Platform().Form()->KeyDown(VK_SHIFT);
    EXPECT_EQ(Show().Halted(), c.ends);
    EXPECT_EQ(LogCount("Verifier.Verify"), c.asks ? 1u : 0u);
    // The cursor is shown only while the question is asked, and hidden again afterwards.
    if (!c.ends) {
      EXPECT_EQ(Platform().CursorCount(), -1);
    }
  }
}

TEST_F(ShowTest, RefusedPasswordIgnoresFiveMovesThenMeasuresFromTheAnchor) {
  Build({FlatJpeg(16, 16, kRed)});
  Script().UsePassword = {TRegistryRead::rrValue, 1};
  Script().VerifierAccepts = false;
  Start();
  THeadlessWindow& window = *Platform().Form();
  window.MouseMove(10, 10);
  window.MouseMove(20, 20);  // past the threshold: asks, is refused
  EXPECT_FALSE(Show().Halted());
  EXPECT_EQ(Show().MouseIgnoreCount(), 5);
  EXPECT_EQ(Show().MouseAnchor(), (TPoint{20, 20}));
  for (int i = 0; i < 5; ++i) window.MouseMove(60, 40 - i);
  EXPECT_EQ(LogCount("Verifier.Verify"), 1u);
  window.MouseDown(TMouseButton::mbLeft, 5, 5);  // a click asks again
  EXPECT_EQ(LogCount("Verifier.Verify"), 2u);
  Script().VerifierAccepts = true;
  for (int i = 0; i < 5; ++i) window.MouseMove(0, 0);
  EXPECT_FALSE(Show().Halted());
  window.MouseMove(24, 24);  // the sixth: 4 pixels from (20, 20) on both axes
  EXPECT_TRUE(Show().Halted());
}

TEST_F(ShowTest, ShowStopMessageStopsTheSlidesAndAsks) {
  Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kBlue)});
  Script().UsePassword = {TRegistryRead::rrValue, 1};
  Script().VerifierAccepts = false;
  Start();
  RunPictures(1);
  Show().FormUserMessage(WM_SHOWSTOP);
  EXPECT_EQ(LogCount("Verifier.Verify"), 1u);
  RunUntil(App().TickCount() + 20000);
  EXPECT_EQ(FPictures.size(), 1u);  // the pictures stay still
}

// Both ways out remove the media folder with its files, and set the running flag back.
TEST_F(ShowTest, EitherEndRemovesTheMediaFolderAndClearsTheRunningFlag) {
  for (const bool closePath : {false, true}) {
    SCOPED_TRACE(closePath ? "close path" : "termination path");
    FSettings.SetVer(closePath ? "flash" : "photo");
    // Another program's file under the same name as a packaged sound stays untouched.
    const auto planted = FFolder.Path() / "tmp" / "theme.wav";
    std::ofstream(planted) << "someone else's";
    Build({FlatJpeg(16, 16, kRed)}, {{"theme.wav", MakeWave(100, 1)}}, {{"intro.swf", {1, 2, 3}}});
    Start();
    const std::string dir = Show().MediaDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(std::filesystem::exists(dir + "theme.wav"));
    EXPECT_TRUE(std::filesystem::exists(dir + "intro.swf"));
    if (closePath) {
      ASSERT_TRUE(Platform().SendHookInput(WM_KEYUP));
      RunUntil(App().TickCount() + 100);
    } else {
      Platform().Form()->KeyDown('A');
    }
    EXPECT_TRUE(App().Terminated());
    EXPECT_FALSE(Platform().ScreenSaverRunning());
    FShow.reset();
    EXPECT_FALSE(std::filesystem::exists(dir));
    std::ifstream in(planted);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "someone else's");
    std::filesystem::remove(planted);
    EXPECT_EQ(TempEntries(), 0u);
  }
}

TEST_F(ShowTest, ProgramWithoutPackage) {
  // Too short for a trailer: the window keeps its design size and waits for input.
  std::ofstream(ExeName(), std::ios::binary) << std::string(30, 'M');
  MakePlatform();
  TfrmScrn& show = Start();
  EXPECT_FALSE(show.FirstActivate());  // it ran, and found nothing to load
  EXPECT_EQ(Platform().Form()->ClientWidth(), 423);
  EXPECT_EQ(Platform().CursorCount(), 0);
  EXPECT_FALSE(Platform().ScreenSaverRunning());
  Platform().Form()->KeyDown(VK_ESCAPE);
  EXPECT_TRUE(show.Halted());

  // A plain engine: the trailer reads as zeros, the settings cannot be read, and the show ends
  // as soon as the message loop runs; destroying it sets the running flag back.
  std::ofstream(ExeName(), std::ios::binary) << std::string(5000, 'M');
  MakePlatform();
  Start();
  EXPECT_TRUE(App().Terminated());
  FShow.reset();
  EXPECT_FALSE(Platform().ScreenSaverRunning());
}

// The media step can fail (the temporary directory is a file, or cannot be written into; the
// package names media the locator refuses): the media are left out, nothing plays from anywhere
// else, no error box appears, and the pictures go on. Activation runs once.
TEST_F(ShowTest, MediaThatCannotBeExtractedAreLeftOutAndThePicturesGoOn) {
  enum class TFault { TempIsAFile, TempMissing, RefusedNames };
  struct TCase {
    const char* name;
    TFault fault;
    const char* kind;
  };
  const TCase cases[] = {
      {"temporary directory is a file, sounds", TFault::TempIsAFile, "photo"},
      {"temporary directory is a file, movies", TFault::TempIsAFile, "flash"},
      {"temporary directory missing, sounds", TFault::TempMissing, "photo"},
      {"temporary directory missing, movies", TFault::TempMissing, "flash"},
      {"refused names, sounds", TFault::RefusedNames, "photo"},
      {"refused names, movies", TFault::RefusedNames, "flash"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetVer(c.kind);
    const bool refused = c.fault == TFault::RefusedNames;
    const std::string sound = refused ? "../theme.wav" : "theme.wav";
    const std::string movie = refused ? "sub/intro.swf" : "intro.swf";
    Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kBlue)},
          {{"a.wav", MakeWave(100, 1)}, {sound, MakeWave(100, 2)}},
          {{"m.swf", {1, 2}}, {movie, {3}}});
    // Files of those names where a show left without its folder might look: never played.
    for (const std::string& stray : {std::string("a.wav"), std::string("m.swf")}) {
      std::ofstream(FFolder.Path() / "tmp" / stray) << "stray";
    }
    if (c.fault == TFault::TempIsAFile) {
      std::ofstream(FFolder.Path() / "tmpfile") << "a file";
      Script().TempDir = FFolder.Dir() + "tmpfile/";
    } else if (c.fault == TFault::TempMissing) {
      Script().TempDir = FFolder.Dir() + "missing/tmp/";
    }
    Start();
    RunPictures(2);
    EXPECT_EQ(FPictures, (std::vector<int32_t>{0, 1}));
    RunUntil(App().TickCount() + 8000);  // movies take over after the pictures
    EXPECT_EQ(LogCount("MessageBox"), 0u);
    EXPECT_EQ(LogCount("Sound.Open"), 0u);
    EXPECT_EQ(LogCount("Movie.SetMovie"), 0u);
    EXPECT_FALSE(App().Terminated());
    EXPECT_EQ(Platform().Form()->ClientWidth(), 64);  // the screen is covered

    const size_t bounds = LogCount("Window.SetBounds");
    Platform().Form()->Activate();
    EXPECT_EQ(LogCount("Window.SetBounds"), bounds);
    EXPECT_EQ(LogCount("MessageBox"), 0u);
    EXPECT_EQ(LogCount("SetScreenSaverRunning(1)"), 1u);
    FShow.reset();
    for (const char* stray : {"a.wav", "m.swf"}) {
      std::filesystem::remove(FFolder.Path() / "tmp" / stray);
    }
  }
}

// A show that has nothing to show ends by itself without a word (no error box, no window left
// waiting); in a movie show the movies take over instead.
TEST_F(ShowTest, ShowWithNothingToShowEndsQuietly) {
  struct TCase {
    const char* name;
    const char* kind;
    bool picturesReadable;
    bool programGone;
    bool ends;
  };
  const TCase cases[] = {
      {"no picture can be read", "photo", false, false, true},
      {"program file cannot be opened", "photo", true, true, true},
      {"movie show whose pictures cannot be read", "flash", false, false, false},
  };
  const std::vector<uint8_t> broken(300, 0x55);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetVer(c.kind);
    if (c.picturesReadable) {
      Build({FlatJpeg(16, 16, kRed)}, {}, {{"m.swf", {1}}});
    } else {
      Build({broken, broken}, {}, {{"m.swf", {1}}});
    }
    if (c.programGone) std::filesystem::remove(ExeName());
    Start();
    RunUntil(App().TickCount() + 20000);
    EXPECT_EQ(LogCount("MessageBox"), 0u);
    EXPECT_TRUE(FPictures.empty());
    EXPECT_EQ(App().Terminated(), c.ends);
    EXPECT_EQ(Show().Halted(), c.ends);
    EXPECT_EQ(LogCount("Movie.SetMovie") > 0, !c.ends);
    FShow.reset();
    EXPECT_FALSE(Platform().ScreenSaverRunning());
  }
}

// The program file is opened once: a saver rebuilt and renamed over the running one's name
// changes nothing under the show, which goes on with its own pictures.
TEST_F(ShowTest, SaverReplacedWhileItRunsGoesOnWithItsOwnPictures) {
  FSettings.SetInterval(100);
  Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kBlue)});
  Start();
  RunPictures(1);
  // The new saver's pictures lie elsewhere: the running show's offsets mean nothing in it.
  const std::string rebuilt = FFolder.Dir() + "rebuilt.scr";
  TSSFileLocations other;
  other.SetVer("photo");
  other.SetInterval(100);
  WriteSaver(rebuilt, other, {FlatJpeg(48, 48, 0x20C040)});
  std::filesystem::rename(rebuilt, ExeName());
  RunPictures(4);
  EXPECT_EQ(FPictures, (std::vector<int32_t>{0, 1, 0, 1}));
  ASSERT_EQ(FFrames.size(), 4u);
  EXPECT_TRUE(Near(PixelAt(FFrames[3], 32, 24), kBlue));
  EXPECT_EQ(LogCount("MessageBox"), 0u);
}

TEST_F(ShowTest, WindowOutsideShowModeClosesWithoutAsking) {
  Build({FlatJpeg(16, 16, kRed)});
  Script().UsePassword = {TRegistryRead::rrValue, 1};
  Start(TPasswordCheck::pcNone);
  Platform().Form()->KeyDown(VK_SPACE);
  RunUntil(App().TickCount() + 100);
  EXPECT_EQ(LogCount("Verifier"), 0u);
  EXPECT_TRUE(App().Terminated());
  EXPECT_FALSE(Show().Halted());
  EXPECT_EQ(Platform().CursorCount(), 0);  // FormClose showed it again
}

TEST_F(ShowTest, InputHookClosesTheMovieShowWithoutAskingForThePassword) {
  struct TCase {
    const char* name;
    uint32_t message;
    bool cursorMoved;
    bool closes;
  };
  const TCase cases[] = {
      {"key up", WM_KEYUP, false, true},
      {"key down", 0x100, false, false},
      {"button down", 0x201, false, true},
      {"middle button up", WM_MBUTTONUP, false, true},
      {"wheel", 0x20A, false, false},
      {"move without moving the cursor", WM_MOUSEMOVE, false, false},
      {"move that moves the cursor", WM_MOUSEMOVE, true, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    FSettings.SetVer("flash");
    Build({}, {}, {{"m0.swf", {1}}});
    Script().UsePassword = {TRegistryRead::rrValue, 1};
    Platform().SetCursorPos({100, 100});
    Start();
    if (c.cursorMoved) Platform().SetCursorPos({101, 100});
    ASSERT_TRUE(Platform().SendHookInput(c.message));
    RunUntil(App().TickCount() + 100);
    EXPECT_EQ(App().Terminated(), c.closes);
    EXPECT_EQ(Platform().HookInstalled(), !c.closes);
    EXPECT_EQ(LogCount("Verifier"), 0u);
  }
}

}  // namespace
}  // namespace tovrin::testing
