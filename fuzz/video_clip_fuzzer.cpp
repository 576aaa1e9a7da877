// Fuzzes the video player's reading of a movie file: opening it, decoding every frame with its
// sound and painting each into a small bitmap. Any input must end in an exception or in frames;
// no frame may take the painter past its bitmap, and the frame times never run backwards.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/errors.h"
#include "platform/video/frame_painter.h"
#include "platform/video/video_clip.h"
#include "seed_corpus.h"

namespace tovrin::fuzz {
namespace {

// Small clips of the accepted kinds, written by the ffmpeg program.
TSeeds Seeds() {
  TSeeds seeds;
  const std::string path = "/tmp/tovrin_video_seed_" + std::to_string(getpid());
  const char* kinds[][2] = {{"libx264 -c:a aac", "mp4"},
                            {"libvpx-vp9 -c:a libopus", "webm"},
                            {"libx265 -x265-params log-level=none -tag:v hvc1", "mov"},
                            {"libvpx -c:a libvorbis", "mkv"}};
  for (const auto& kind : kinds) {
    const std::string file = path + "." + kind[1];
    const std::string command =
        std::string(TOVRIN_FFMPEG_PROGRAM) +
        " -nostdin -v error -y -f lavfi -i testsrc2=s=32x24:r=10:d=0.4 -f lavfi -i "
        "sine=duration=0.4 -pix_fmt yuv420p -c:v " +
        kind[0] + " -t 0.4 '" + file + "'";
    if (std::system(command.c_str()) != 0) continue;
    std::ifstream in(file, std::ios::binary);
    seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    std::remove(file.c_str());
  }
  return seeds;
}

}  // namespace
}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::Seeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  static const std::string path = "/tmp/tovrin_video_fuzz_" + std::to_string(getpid());
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    TVideoClip clip(path, true);
    int64_t touched = 0;
    clip.OnAudio = [&](const int16_t* samples, size_t frames, int64_t) {
      // The first and the last sample handed over lie inside what the resampler made.
      if (frames > 0) touched += samples[0] + samples[frames * TVideoClip::AudioChannels - 1];
    };
    TFrameHandle frame(Av().av_frame_alloc());
    TFramePainter painter;
    TBitmap bitmap(24, 16);
    int64_t last = -1;
    for (int i = 0; i < 500 && clip.NextFrame(*frame); ++i) {
      painter.Paint(*frame, clip.Info().Rotation, bitmap);
      if (clip.FrameMs() < last) std::abort();
      last = clip.FrameMs();
    }
    volatile int64_t sink = touched;
    (void)sink;
  } catch (const Exception&) {
  }
  return 0;
}
