// The movie playback: movies after the pictures, the movie at its last frame, a missing movie
// control.
#include <fstream>

#include "show_fixture.h"

namespace tovrin::testing {
namespace {

const uint32_t kRed = 0xE02010;

TEST_F(ShowTest, MoviesTakeOverAfterTheLastPictureAndAdvanceAtTheirLastFrame) {
  FSettings.SetVer("flash");
  Build({FlatJpeg(16, 16, kRed), FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}, {"m1.swf", {2}}});
  Script().MovieFrames = 30;  // 1.2 s at 40 ms a frame
  Start();
  ASSERT_NE(Platform().Movie(), nullptr);
  EXPECT_EQ(LogCount("Movie.SetMovie"), 0u);  // pictures first
  RunPictures(2);
  RunUntil(App().TickCount() + 4000);  // the last picture's transition and interval
  EXPECT_FALSE(Show().PShow().Visible());
  EXPECT_TRUE(Platform().Movie()->Visible());
  RunUntil(App().TickCount() + 6000);
  const std::vector<std::string> movies = LogWith("Movie.SetMovie");
  ASSERT_GE(movies.size(), 4u);
  for (size_t i = 0; i < movies.size(); ++i) {
    EXPECT_NE(movies[i].find(i % 2 == 0 ? "m0.swf" : "m1.swf"), std::string::npos) << i;
  }
  EXPECT_EQ(FPictures.size(), 2u);  // no picture is shown again
}

TEST_F(ShowTest, MovieShowWithoutPicturesStartsAtActivation) {
  FSettings.SetVer("flash");
  Build({}, {}, {{"m0.swf", {1}}});
  Script().MovieFrames = 1;  // replaced at every tick
  Start();
  EXPECT_EQ(LogCount("Movie.SetMovie"), 1u);
  RunUntil(3500);
  EXPECT_EQ(LogCount("Movie.SetMovie"), 4u);
  // The platform stops handing out the movie player once the show has destroyed it.
  FShow.reset();
  EXPECT_EQ(Platform().Movie(), nullptr);
}

TEST_F(ShowTest, MissingMovieControlOffersTheDownloadAndEnds) {
  for (const TModalResult answer : {TModalResult::mrYes, TModalResult::mrNo}) {
    SCOPED_TRACE(answer == TModalResult::mrYes ? "yes" : "no");
    FSettings.SetVer("flash");
    Build({FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}});
    Script().MovieControlInstalled = false;
    Script().MessageBoxAnswer = answer;
    Start();
    EXPECT_TRUE(Show().Halted());
    ASSERT_EQ(LogWith("MessageBox").size(), 1u);
    EXPECT_NE(LogWith("MessageBox")[0].find("Please install the Macromedia Flash Player"),
              std::string::npos);
    EXPECT_EQ(LogCount("ShellOpen"), answer == TModalResult::mrYes ? 1u : 0u);
    EXPECT_FALSE(Platform().ScreenSaverRunning());
  }
  // The language file's text replaces the message.
  std::ofstream(FFolder.Path() / "tovrin.ini") << "[Language]\nDownloadSWF=Bitte installieren\n";
  Build({FlatJpeg(16, 16, kRed)}, {}, {{"m0.swf", {1}}});
  Script().MovieControlInstalled = false;
  Start();
  EXPECT_EQ(LogWith("MessageBox")[0], "MessageBox(Bitte installieren|)");
}

}  // namespace
}  // namespace tovrin::testing
