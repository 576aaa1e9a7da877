// Golden frames: a fixed matrix of styles x progress values x picture sizes is composed and each
// frame's digest compared with the checked-in list in data/golden_frames.txt, so that any change
// in any frame of any style is noticed. The pictures are synthetic (no JPEG decoding involved), so
// the digests are the same on every machine.
//
// After a deliberate, verified change of a style, regenerate the list in the build folder with
//   TOVRIN_UPDATE_GOLDEN=1 tests/picshow/styles/picshow_styles_tests --gtest_filter='GoldenFrames*'
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/random.h"
#include "gfx/bitmap.h"
#include "picshow/styles/compose_frame.h"

namespace tovrin {
namespace {

// Two pictures that differ at every pixel and in every channel, with structure in both
// directions so that a misplaced row or column changes the digest.
TBitmap Pattern(int32_t w, int32_t h, bool incoming) {
  TBitmap b(w, h);
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* row = b.ScanLine(y);
    for (int32_t x = 0; x < w; ++x) {
      if (incoming) {
        row[3 * x] = static_cast<uint8_t>(x * 7 + y * 3);
        row[3 * x + 1] = static_cast<uint8_t>(((x / 8 + y / 8) & 1) ? 200 : 40);
        row[3 * x + 2] = static_cast<uint8_t>(255 - y * 5);
      } else {
        row[3 * x] = static_cast<uint8_t>(128 + (x ^ y));
        row[3 * x + 1] = static_cast<uint8_t>(x * 2 + 1);
        row[3 * x + 2] = static_cast<uint8_t>(y * 11 + 9);
      }
    }
  }
  return b;
}

// FNV-1a over the visible bytes of every row (padding excluded), 64 bits.
uint64_t Digest(const TBitmap& b) {
  uint64_t h = 1469598103934665603ull;
  for (int32_t y = 0; y < b.Height(); ++y) {
    const uint8_t* row = b.ScanLine(y);
    for (int32_t i = 0; i < 3 * b.Width(); ++i) {
      h ^= row[i];
      h *= 1099511628211ull;
    }
  }
  return h;
}

struct TSize {
  int32_t W, H;
};
// Each block of the matrix: picture sizes x the progress values x one Step.
struct TBlock {
  std::vector<TSize> Sizes;
  std::vector<int> Progress;
  int Step;
};
const TBlock kMatrix[] = {
    {{{64, 48}, {37, 23}, {23, 37}, {1, 1}, {203, 151}}, {0, 1, 13, 37, 50, 63, 88, 99, 100}, 4},
    {{{641, 481}}, {0, 37, 71}, 4},
    {{{64, 48}, {23, 37}}, {1, 2, 50, 99}, 1},
    {{{64, 48}, {23, 37}}, {10, 50, 90}, 100},
};

std::string Key(int style, int progress, TSize size, int step) {
  std::ostringstream k;
  k << style << ' ' << progress << ' ' << size.W << 'x' << size.H;
  if (step != 4) k << "/step" << step;
  return k.str();
}

uint64_t Compose(const TBitmap& oldPic, const TBitmap& newPic, int style, int progress, int step) {
  TBitmap incoming = newPic;
  TBitmap media(oldPic.Width(), oldPic.Height());
  uint8_t p = static_cast<uint8_t>(progress);
  // Each frame's random draws start from a seed of its own, so the random styles are covered too.
  TRandom random(static_cast<uint32_t>(style * 1000 + progress));
  TComposeHooks hooks;
  hooks.Invalidate = [](const TRect&) {};
  ComposeFrame(TComposeFrameArgs{.OldPic = oldPic,
                                 .NewPic = incoming,
                                 .Media = media,
                                 .Style = static_cast<uint8_t>(style),
                                 .Progress = p,
                                 .Step = static_cast<uint16_t>(step),
                                 .Reverse = false,
                                 .Random = random,
                                 .Hooks = hooks});
  return Digest(media);
}

std::map<std::string, uint64_t> ComposeMatrix() {
  std::map<std::string, uint64_t> digests;
  for (const TBlock& block : kMatrix) {
    for (const TSize size : block.Sizes) {
      const TBitmap oldPic = Pattern(size.W, size.H, false);
      const TBitmap newPic = Pattern(size.W, size.H, true);
      for (int style = 0; style < 128; ++style) {
        for (int progress : block.Progress) {
          digests[Key(style, progress, size, block.Step)] =
              Compose(oldPic, newPic, style, progress, block.Step);
        }
      }
    }
  }
  return digests;
}

const std::string kGoldenPath = std::string(TOVRIN_TEST_DATA) + "/golden_frames.txt";

TEST(GoldenFramesTest, EveryFrameOfTheMatrixMatchesItsDigest) {
  const std::map<std::string, uint64_t> actual = ComposeMatrix();
  if (const char* update = std::getenv("TOVRIN_UPDATE_GOLDEN"); update && *update == '1') {
    std::ofstream out(kGoldenPath);
    out << "# style progress size[/stepK, when Step is not 4] digest\n";
    for (const auto& [key, digest] : actual)
      out << key << ' ' << std::hex << digest << std::dec << '\n';
    GTEST_SKIP() << "wrote " << actual.size() << " digests to " << kGoldenPath;
  }
  std::ifstream in(kGoldenPath);
  ASSERT_TRUE(in) << "missing " << kGoldenPath;
  std::map<std::string, uint64_t> expected;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int style = 0, progress = 0;
    std::string size;
    uint64_t digest = 0;
    fields >> style >> progress >> size >> std::hex >> digest;
    expected[std::to_string(style) + ' ' + std::to_string(progress) + ' ' + size] = digest;
  }
  ASSERT_EQ(expected.size(), actual.size()) << "the golden list and the matrix differ in size";
  int mismatches = 0;
  for (const auto& [key, digest] : actual) {
    const auto it = expected.find(key);
    if (it == expected.end() || it->second != digest) {
      if (++mismatches <= 20) ADD_FAILURE() << "frame " << key << " changed";
    }
  }
  EXPECT_EQ(mismatches, 0) << "frames differ from their golden digests";
}

}  // namespace
}  // namespace tovrin
