// End to end: tovrin-pack builds a real screen saver from JPEG files, a WAV file and settings, and
// tovrin-render show runs its show off screen; the log and the frames must tell the show the
// settings describe.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "jpeg_maker.h"
#include "saver_builder.h"

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Runs command, returns its standard output; fails the test on a non-zero exit.
std::string RunCommand(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
  const int status = pclose(pipe.release());
  EXPECT_EQ(status, 0) << command << "\n" << out;
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

// Reads a PNG file written by the tool (libpng's simplified reader).
TBitmap LoadPNG(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    ADD_FAILURE() << "cannot read " << path;
    return TBitmap();
  }
  image.format = PNG_FORMAT_BGR;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    ADD_FAILURE() << "cannot decode " << path;
    return TBitmap();
  }
  TBitmap bitmap(static_cast<int32_t>(image.width), static_cast<int32_t>(image.height));
  for (uint32_t y = 0; y < image.height; ++y) {
    std::copy_n(pixels.data() + size_t{y} * image.width * 3, image.width * 3,
                bitmap.ScanLine(static_cast<int32_t>(y)));
  }
  return bitmap;
}

uint32_t Pixel(const TBitmap& b, int x, int y) {
  const uint8_t* p = b.ScanLine(y) + x * 3;
  return (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

bool Near(uint32_t a, uint32_t b) {
  for (int s = 0; s < 24; s += 8) {
    const int d = static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF);
    if (d > 8 || d < -8) return false;
  }
  return true;
}

TEST(ShowRenderEndToEnd, PackedSaverPlaysItsPicturesStylesAndSound) {
  TScratchFolder folder("show_e2e");
  const fs::path dir = folder.Path();
  const uint32_t colours[] = {0xD02020, 0x20B040, 0x2040D0};
  std::string pictures;
  for (int i = 0; i < 3; ++i) {
    const fs::path p = dir / ("p" + std::to_string(i) + ".jpg");
    WriteFile(p, FlatJpeg(80, 60, colours[i]));
    pictures += " " + p.string();
  }
  WriteFile(dir / "theme.wav", MakeWave(2500, 7));
  std::ofstream(dir / "show.ini") << "[Settings]\nInterval=2000\nEffectCommaList=5,9,12\n"
                                     "lStretch=1\nText=Harbour\n";
  const fs::path saver = dir / "harbour.scr";
  RunCommand(std::string(TOVRIN_PACK_EXE) + " build --engine " + TOVRIN_PACK_EXE + " -o " +
             saver.string() + " --settings " + (dir / "show.ini").string() + " --sound " +
             (dir / "theme.wav").string() + pictures + " 2>&1");

  const fs::path frames = dir / "frames";
  const std::string log = RunCommand(
      std::string(TOVRIN_RENDER_EXE) + " show " + saver.string() + " --out " + frames.string() +
      " --size 160x120 --slides 4 --fps 10 --log --contact " + (dir / "sheet.png").string());

  // The events: pictures in order with the styles from the list's second entry on, each about
  // a transition (25 frames of 40 ms) plus the interval after the one before; the sound at the
  // start and again when it has played for its 2.5 s.
  std::vector<std::string> pictureLines, soundLines;
  for (const std::string& line : Lines(log)) {
    if (line.find(" picture ") != std::string::npos) pictureLines.push_back(line);
    if (line.find(" sound ") != std::string::npos) soundLines.push_back(line);
  }
  ASSERT_EQ(pictureLines.size(), 4u) << log;
  const std::regex picture(R"(t=(\d+)ms picture (\d+) style (\d+))");
  const int styles[] = {9, 12, 5, 9};
  const int numbers[] = {1, 2, 3, 1};
  int previous = -1;
  for (size_t i = 0; i < 4; ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(pictureLines[i], m, picture)) << pictureLines[i];
    const int t = std::stoi(m[1]);
    EXPECT_EQ(std::stoi(m[2]), numbers[i]) << pictureLines[i];
    EXPECT_EQ(std::stoi(m[3]), styles[i]) << pictureLines[i];
    if (previous >= 0) {
      EXPECT_GE(t - previous, 2000 + 24 * 40) << pictureLines[i];
      EXPECT_LE(t - previous, 2000 + 26 * 42) << pictureLines[i];
    }
    previous = t;
  }
  ASSERT_GE(soundLines.size(), 2u) << log;
  EXPECT_EQ(soundLines[0], "t=0ms sound theme.wav");
  std::smatch m;
  ASSERT_TRUE(std::regex_match(soundLines[1], m, std::regex(R"(t=(\d+)ms sound theme.wav)")));
  EXPECT_NEAR(std::stoi(m[1]), 2500, 50);

  // The frames: numbered in time order at 10 a second; a frame taken after the first transition
  // shows the first picture stretched over the screen with the caption at the bottom; the
  // second picture is on screen after its transition.
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(frames))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_GE(names.size(), 70u);
  EXPECT_EQ(names.front(), "frame_000000.png");
  const TBitmap atOneSecond = LoadPNG((frames / "frame_000015.png").string());
  ASSERT_EQ(atOneSecond.Width(), 160);
  EXPECT_TRUE(Near(Pixel(atOneSecond, 10, 10), colours[0]));
  EXPECT_TRUE(Near(Pixel(atOneSecond, 150, 60), colours[0]));
  const TBitmap second = LoadPNG((frames / "frame_000045.png").string());
  EXPECT_TRUE(Near(Pixel(second, 10, 10), colours[1]));
  // The caption is on the first and third pictures only.
  int captionPixels = 0;
  for (int y = 100; y < 120; ++y) {
    for (int x = 40; x < 120; ++x) captionPixels += !Near(Pixel(atOneSecond, x, y), colours[0]);
  }
  EXPECT_GT(captionPixels, 20);
  int secondCaption = 0;
  for (int y = 100; y < 120; ++y) {
    for (int x = 40; x < 120; ++x) secondCaption += !Near(Pixel(second, x, y), colours[1]);
  }
  EXPECT_EQ(secondCaption, 0);

  const TBitmap sheet = LoadPNG((dir / "sheet.png").string());
  EXPECT_GT(sheet.Width(), 240);
  // The temporary files of the show are gone.
  EXPECT_TRUE(fs::exists(saver));

  // On a desk of two monitors the frames show the whole desk: the picture with its caption on
  // each monitor at that monitor's size, black where no monitor is.
  const fs::path deskFrames = dir / "desk";
  RunCommand(std::string(TOVRIN_RENDER_EXE) + " show " + saver.string() + " --out " +
             deskFrames.string() + " --monitors 160x120,80x60+160+30 --slides 1 --fps 10");
  // The last frame shows the first transition finished.
  const TBitmap desk = LoadPNG((deskFrames / "frame_000010.png").string());
  ASSERT_EQ(desk.Width(), 240);
  ASSERT_EQ(desk.Height(), 120);
  EXPECT_TRUE(Near(Pixel(desk, 10, 10), colours[0]));
  EXPECT_TRUE(Near(Pixel(desk, 165, 35), colours[0]));
  EXPECT_TRUE(Near(Pixel(desk, 235, 60), colours[0]));
  EXPECT_EQ(Pixel(desk, 200, 10), 0u);
  EXPECT_EQ(Pixel(desk, 200, 110), 0u);
  int deskCaption = 0;
  for (int y = 75; y < 90; ++y) {
    for (int x = 165; x < 235; ++x) deskCaption += !Near(Pixel(desk, x, y), colours[0]);
  }
  EXPECT_GT(deskCaption, 10);
}

}  // namespace
}  // namespace tovrin::testing

#if defined(TOVRIN_FFMPEG_PROGRAM)
namespace tovrin::testing {
namespace {

// A movie show of two clips (made by the ffmpeg program), rendered off screen: the log names the
// clips in package order, again and again, and the frames show their colours in that order.
TEST(ShowRenderEndToEnd, PackedMovieShowPlaysItsClipsInOrder) {
  TScratchFolder folder("movie_e2e");
  const fs::path dir = folder.Path();
  const std::string ffmpeg = std::string(TOVRIN_FFMPEG_PROGRAM) + " -nostdin -v error -y ";
  RunCommand(ffmpeg + "-f lavfi -i color=c=0xFF0000:s=160x120:r=25:d=0.4 -pix_fmt yuv420p " +
             "-c:v libx264 " + (dir / "red.mp4").string());
  RunCommand(ffmpeg + "-f lavfi -i color=c=0x0000FF:s=160x120:r=25:d=0.4 -pix_fmt yuv420p " +
             "-c:v libvpx-vp9 " + (dir / "blue.webm").string());
  const fs::path saver = dir / "movies.scr";
  RunCommand(std::string(TOVRIN_PACK_EXE) + " build --engine " + TOVRIN_PACK_EXE + " -o " +
             saver.string() + " --kind movie --movie " + (dir / "red.mp4").string() + " --movie " +
             (dir / "blue.webm").string() + " 2>&1");
  const std::string inspected =
      RunCommand(std::string(TOVRIN_PACK_EXE) + " inspect " + saver.string());
  EXPECT_NE(inspected.find("\"red.mp4\", mp4: h264, no sound, 160x120, 0.4 s"), std::string::npos)
      << inspected;
  EXPECT_NE(inspected.find("\"blue.webm\", webm: vp9, no sound, 160x120, 0.4 s"), std::string::npos)
      << inspected;

  const fs::path frames = dir / "frames";
  const std::string log =
      RunCommand(std::string(TOVRIN_RENDER_EXE) + " show " + saver.string() + " --out " +
                 frames.string() + " --size 160x120 --seconds 5 --fps 10 --log");
  std::string order;
  for (const std::string& line : Lines(log)) {
    if (line.find(" movie red.mp4") != std::string::npos) order += 'r';
    if (line.find(" movie blue.webm") != std::string::npos) order += 'b';
    EXPECT_EQ(line.find(" message "), std::string::npos) << line;
  }
  EXPECT_EQ(order.substr(0, 4), "rbrb") << log;
  // The frames: red, then blue, then red again.
  std::string seen;
  for (int i = 0; i < 50; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", i);
    if (!fs::exists(frames / name)) break;
    const uint32_t c = Pixel(LoadPNG((frames / name).string()), 80, 60);
    const char colour = Near(c, 0xFF0000) ? 'r' : Near(c, 0x0000FF) ? 'b' : '?';
    if (seen.empty() || seen.back() != colour) seen += colour;
  }
  EXPECT_EQ(seen.substr(0, 3), "rbr") << seen;
}

}  // namespace
}  // namespace tovrin::testing
#endif
