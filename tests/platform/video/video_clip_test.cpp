// The clip reader: containers and codecs it accepts, frames and times in order, the sound, and
// files it must refuse or survive (wrong codec, wrong container, cut short anywhere).
#include "platform/video/video_clip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "clip_maker.h"
#include "core/errors.h"
#include "platform/video/frame_painter.h"
#include "saver_builder.h"

namespace tovrin::testing {
namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kBlue = 0x0000FF;

// The dominant channel of a bitmap's pixel: 'r', 'g', 'b', or '?' when none stands out.
char Dominant(const TBitmap& b, int32_t x, int32_t y) {
  const uint8_t* p = b.ScanLine(y) + static_cast<size_t>(x) * 3;
  const int blue = p[0], green = p[1], red = p[2];
  if (red > 160 && green < 80 && blue < 80) return 'r';
  if (green > 160 && red < 80 && blue < 80) return 'g';
  if (blue > 160 && red < 80 && green < 80) return 'b';
  if (red < 24 && green < 24 && blue < 24) return 'k';
  return '?';
}

// The colour of every frame of the clip, in order, and the frames' times.
struct TDecoded {
  std::string Colours;
  std::vector<int64_t> Times;
};

TDecoded DecodeAll(TVideoClip& clip) {
  TDecoded out;
  TFrameHandle frame(Av().av_frame_alloc());
  TFramePainter painter;
  TBitmap bitmap(32, 24);
  while (clip.NextFrame(*frame)) {
    EXPECT_TRUE(painter.Paint(*frame, clip.Info().Rotation, bitmap));
    out.Colours += Dominant(bitmap, 16, 12);
    out.Times.push_back(clip.FrameMs());
  }
  return out;
}

class VideoClipTest : public ::testing::Test {
 protected:
  std::string Make(const TClipRecipe& recipe, const std::string& name) {
    const std::filesystem::path path = FFolder.Path() / name;
    MakeClip(path, recipe);
    return path.string();
  }
  TScratchFolder FFolder{"video_clip"};
};

TEST_F(VideoClipTest, AcceptedFormatsDecodeEveryFrameInOrder) {
  struct TCase {
    std::string File, Encoder, Audio, Container, Video, Sound;
  };
  const TCase cases[] = {
    {"a.mp4", "libx264", "aac", "mp4", "h264", "aac"},
    {"b.mov", "libx264", "", "mov", "h264", ""},
    {"c.mp4", "libx265 -x265-params log-level=none", "", "mp4", "hevc", ""},
    {"d.webm", "libvpx-vp9", "libopus", "matroska", "vp9", "opus"},
    {"e.mkv", "libvpx", "libvorbis", "matroska", "vp8", "vorbis"},
#if !defined(TOVRIN_VIDEO_NO_AV1)
    {"f.webm", "libaom-av1 -cpu-used 8", "", "matroska", "av1", ""},
#endif
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    TClipRecipe recipe;
    recipe.Segments = {{kRed, 5}, {kGreen, 5}, {kBlue, 5}};
    recipe.VideoCodec = c.Encoder;
    recipe.AudioCodec = c.Audio;
    TVideoClip clip(Make(recipe, c.File), false);
    EXPECT_EQ(clip.Info().Container, c.Container);
    EXPECT_EQ(clip.Info().VideoCodec, c.Video);
    EXPECT_EQ(clip.Info().AudioCodec, c.Sound);
    EXPECT_EQ(clip.Info().Width, 64);
    EXPECT_EQ(clip.Info().Height, 48);
    EXPECT_NEAR(clip.Info().DurationMs, 600, 80);
    EXPECT_NEAR(clip.Info().Frames, 15, 1);
    const TDecoded decoded = DecodeAll(clip);
    EXPECT_EQ(decoded.Colours, "rrrrrgggggbbbbb");
    ASSERT_EQ(decoded.Times.size(), 15u);
    for (size_t i = 0; i < decoded.Times.size(); ++i) {
      EXPECT_NEAR(decoded.Times[i], static_cast<int64_t>(i) * 40, 2) << i;
    }
    TFrameHandle frame(Av().av_frame_alloc());
    EXPECT_FALSE(clip.NextFrame(*frame));  // and stays ended
  }
}

TEST_F(VideoClipTest, RefusesWhatAShowDoesNotPlayNamingTheFile) {
  TClipRecipe mpeg4;
  mpeg4.Segments = {{kRed, 3}};
  mpeg4.VideoCodec = "mpeg4";
  TClipRecipe avi = mpeg4;
  avi.VideoCodec = "libx264";
  const std::string text = (FFolder.Path() / "notes.mp4").string();
  std::ofstream(text) << "these are not the frames you are looking for";
  const std::string empty = (FFolder.Path() / "empty.mp4").string();
  std::ofstream{empty};
  TClipRecipe sound;
  sound.Segments = {{kRed, 3}};
  const std::string audioOnly = (FFolder.Path() / "tone.m4a").string();
  ASSERT_TRUE(RunFfmpeg(" -f lavfi -i sine=duration=0.5 -c:a aac", audioOnly));
  const struct {
    std::string Path, Why;
  } cases[] = {
      {Make(mpeg4, "old.mp4"), "mpeg4"},
      {Make(avi, "clip.avi"), ""},
      {text, ""},
      {empty, ""},
      {audioOnly, "no video"},
      {(FFolder.Path() / "missing.mp4").string(), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    try {
      TVideoClip clip(c.Path, true);
      ADD_FAILURE() << "opened";
    } catch (const Exception& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(c.Path), std::string::npos) << message;
      EXPECT_NE(message.find(c.Why), std::string::npos) << message;
    }
  }
}

TEST_F(VideoClipTest, CutShortAnywhereItRefusesOrPlaysWhatItHas) {
  TClipRecipe recipe;
  recipe.Segments = {{kRed, 6}, {kGreen, 6}};
  recipe.AudioCodec = "aac";
  const std::string whole = Make(recipe, "whole.mp4");
  std::ifstream in(whole, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  // The moov box goes first with +faststart; without it, last. Both layouts are cut.
  recipe.Extra = "-movflags +faststart";
  const std::string fast = Make(recipe, "fast.mp4");
  std::ifstream fastIn(fast, std::ios::binary);
  const std::vector<char> fastBytes((std::istreambuf_iterator<char>(fastIn)), {});
  int played = 0;
  for (const auto* source : {&bytes, &fastBytes}) {
    for (size_t length = 0; length < source->size(); length += 1 + source->size() / 60) {
      const std::string cut = (FFolder.Path() / "cut.mp4").string();
      std::ofstream(cut, std::ios::binary | std::ios::trunc)
          .write(source->data(), static_cast<std::streamsize>(length));
      try {
        TVideoClip clip(cut, true);
        size_t sound = 0;
        clip.OnAudio = [&](const int16_t*, size_t frames, int64_t) { sound += frames; };
        const TDecoded decoded = DecodeAll(clip);
        EXPECT_LE(decoded.Colours.size(), 12u) << length;
        EXPECT_LT(sound, size_t{48000}) << length;
        if (!decoded.Colours.empty()) ++played;
      } catch (const Exception&) {
      }
    }
  }
  // Cut after its index, a clip still plays the frames it has.
  EXPECT_GT(played, 0);
}

TEST_F(VideoClipTest, SoundComesResampledWhenAskedFor) {
  TClipRecipe recipe;
  recipe.Segments = {{kRed, 25}};
  recipe.AudioCodec = "aac";
  const std::string path = Make(recipe, "tone.mp4");
  for (const bool withAudio : {true, false}) {
    SCOPED_TRACE(withAudio);
    TVideoClip clip(path, withAudio);
    size_t frames = 0;
    int16_t peak = 0;
    clip.OnAudio = [&](const int16_t* samples, size_t count, int64_t) {
      frames += count;
      for (size_t i = 0; i < count * TVideoClip::AudioChannels; ++i) {
        peak = std::max<int16_t>(peak, samples[i]);
      }
    };
    DecodeAll(clip);
    if (withAudio) {
      // A second of tone at 48 kHz (the encoder's priming may shift it by a frame or two).
      EXPECT_NEAR(static_cast<double>(frames), 48000.0, 3000.0);
      EXPECT_GT(peak, 1000);
    } else {
      EXPECT_EQ(frames, 0u);
    }
  }
}

TEST_F(VideoClipTest, TurnedPhoneClipsShowUpright) {
  // A portrait phone clip: stored 64 x 48 with the left half red, with a display matrix that
  // turns it a quarter counter-clockwise (what ffprobe reports as rotation 90), so it shows
  // 48 x 64 with the bottom half red.
#if defined(_WIN32)
  GTEST_SKIP() << "the clip is made in two runs of ffmpeg, the second reading the first's file";
#endif
  const std::string stored = (FFolder.Path() / "stored.mp4").string();
  const std::string path = (FFolder.Path() / "phone.mp4").string();
  const std::string ffmpeg = std::string(TOVRIN_FFMPEG_PROGRAM) + " -nostdin -v error -y ";
  ASSERT_EQ(std::system((ffmpeg +
                         "-f lavfi -i color=c=0x0000FF:s=64x48:r=25:d=0.2 -vf "
                         "'drawbox=x=0:y=0:w=32:h=48:color=0xFF0000:t=fill,format=yuv420p' "
                         "-c:v libx264 '" +
                         stored + "'")
                            .c_str()),
            0);
  // The muxer writes the matrix only when copying the stream.
  ASSERT_EQ(
      std::system((ffmpeg + "-i '" + stored + "' -c copy -metadata:s:v:0 rotate=90 '" + path + "'")
                      .c_str()),
      0);
  TVideoClip clip(path, false);
  EXPECT_EQ(clip.Info().Rotation, 270);
  EXPECT_EQ(clip.Info().Width, 48);
  EXPECT_EQ(clip.Info().Height, 64);
  TFrameHandle frame(Av().av_frame_alloc());
  ASSERT_TRUE(clip.NextFrame(*frame));
  TBitmap screen(96, 64);  // the 48 x 64 picture fills the height, bars left and right
  TFramePainter painter;
  ASSERT_TRUE(painter.Paint(*frame, clip.Info().Rotation, screen));
  EXPECT_EQ(Dominant(screen, 48, 54), 'r');
  EXPECT_EQ(Dominant(screen, 48, 10), 'b');
  EXPECT_EQ(Dominant(screen, 10, 32), 'k');
  EXPECT_EQ(Dominant(screen, 86, 32), 'k');
  // Turned the other ways, for the same frame.
  TBitmap upright(64, 48);
  ASSERT_TRUE(TFramePainter().Paint(*frame, 0, upright));
  EXPECT_EQ(Dominant(upright, 10, 24), 'r');
  EXPECT_EQ(Dominant(upright, 54, 24), 'b');
  TBitmap halfTurn(64, 48);
  ASSERT_TRUE(TFramePainter().Paint(*frame, 180, halfTurn));
  EXPECT_EQ(Dominant(halfTurn, 10, 24), 'b');
  EXPECT_EQ(Dominant(halfTurn, 54, 24), 'r');
  TBitmap quarter(96, 64);
  ASSERT_TRUE(TFramePainter().Paint(*frame, 90, quarter));
  EXPECT_EQ(Dominant(quarter, 48, 10), 'r');
  EXPECT_EQ(Dominant(quarter, 48, 54), 'b');
}

TEST(FitRectTest, KeepsProportionsCentredWithBars) {
  const struct {
    int64_t W, H;
    int32_t BoxW, BoxH;
    TRect Expected;
  } cases[] = {
      {1920, 1080, 1920, 1080, {0, 0, 1920, 1080}},    // same shape
      {1920, 1080, 1024, 768, {0, 96, 1024, 672}},     // wide clip: bars above and below
      {1080, 1920, 1920, 1080, {656, 0, 1264, 1080}},  // portrait clip: bars at the sides
      {64, 48, 640, 480, {0, 0, 640, 480}},            // scaled up
      {1, 10000, 100, 100, {49, 0, 50, 100}},          // never thinner than a pixel
      {0, 10, 100, 100, {}},
      {10, 10, 0, 100, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitRect(c.W, c.H, c.BoxW, c.BoxH), c.Expected)
        << c.W << "x" << c.H << " in " << c.BoxW << "x" << c.BoxH;
  }
}

// Told to skip to the next key frame, the clip goes on from there at that frame's own time.
// (Frames left out once took the time of the frame after the last one shown when the key frame
// was further on than MaxFrameGapMs: a player far behind then never caught up, and read the
// whole clip out in a few seconds.)
TEST_F(VideoClipTest, SkippingToTheNextKeyFrameKeepsItsTime) {
  TClipRecipe recipe;
  recipe.Rate = 1;  // a second a frame, so the key frame is further on than the gap allowed
  recipe.Segments = {{kRed, 4}, {kGreen, 6}, {kBlue, 4}};
  recipe.Extra = "-g 10 -keyint_min 10 -sc_threshold 0 -bf 0";  // key frames at 0 and 10
  const std::string path = Make(recipe, "keys.mp4");
  const auto colourAt = [](int64_t ms) { return ms < 4000 ? 'r' : ms < 10000 ? 'g' : 'b'; };
  for (const TVideoClip::TSkip skip :
       {TVideoClip::TSkip::skNone, TVideoClip::TSkip::skToKeyFrame}) {
    SCOPED_TRACE(static_cast<int>(skip));
    TVideoClip clip(path, false);
    TFrameHandle frame(Av().av_frame_alloc());
    TFramePainter painter;
    TBitmap bitmap(32, 24);
    std::vector<int64_t> times;
    while (clip.NextFrame(*frame)) {
      ASSERT_TRUE(painter.Paint(*frame, 0, bitmap));
      times.push_back(clip.FrameMs());
      // Every frame has its own time: the colour shown at that time.
      EXPECT_EQ(Dominant(bitmap, 16, 12), colourAt(clip.FrameMs())) << clip.FrameMs();
      // After the first frame, skipping as asked.
      if (times.size() == 1) clip.SetSkip(skip);
    }
    if (skip == TVideoClip::TSkip::skNone) {
      EXPECT_EQ(times.size(), 14u);
    } else {
      // The frames in the decoder's threads when it was told may still come; the ones just
      // before the key frame do not, and the key frame comes at its time.
      EXPECT_EQ(std::count(times.begin(), times.end(), 9000), 0) << ::testing::PrintToString(times);
      EXPECT_EQ(std::count(times.begin(), times.end(), 10000), 1);
      EXPECT_EQ(times.back(), 13000);
    }
  }
}

}  // namespace
}  // namespace tovrin::testing
