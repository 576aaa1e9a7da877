// A show over a package whose sounds and movies the engine must not write.
#include <filesystem>

#include "show/media_folder.h"
#include "show_fixture.h"

namespace tovrin::testing {
namespace {

const uint32_t kGreen = 0x20C040;
const uint32_t kYellow = 0xE0D020;

// Files and bytes under a folder, however deep, the show folders' owner markers left out.
struct TWritten {
  size_t Files = 0;
  uintmax_t Bytes = 0;
};
TWritten WrittenUnder(const std::filesystem::path& folder) {
  TWritten w;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    if (!e.is_regular_file() || e.path().filename() == kMediaFolderOwnerFile) continue;
    ++w.Files;
    w.Bytes += e.file_size();
  }
  return w;
}

// 2,000 sound entries that all name one 200 KB range once made a saver of about 200 KB write
// 400 MB into the temporary directory. The show now writes none of its media and still shows
// every picture, without an error box.
TEST_F(ShowTest, MediaThatWouldMultiplyThePackageAreLeftOutAndThePicturesStillShow) {
  const std::vector<uint8_t> wave = MakeWave(12800, 1);  // 204,844 bytes
  const auto repeat = [](TSSFileLocations& s) {
    for (int i = 1; i < 2000; ++i) {
      s.SndList().push_back(s.SndList()[0]);
      s.SndFileNameList().push_back("theme" + std::to_string(i) + ".wav");
      s.SndSizeList().push_back(s.SndSizeList()[0]);
    }
  };
  WriteCraftedSaver(ExeName(), FSettings, {FlatJpeg(16, 16, kGreen), FlatJpeg(16, 16, kYellow)},
                    {{"theme0.wav", wave}}, {}, repeat);
  MakePlatform();
  Start();
  RunPictures(3);
  const TWritten written = WrittenUnder(FFolder.Path() / "tmp");
  EXPECT_EQ(written.Files, 0u);
  EXPECT_EQ(written.Bytes, 0u) << "bytes extracted from a saver of "
                               << std::filesystem::file_size(ExeName()) << " bytes";
  ASSERT_GE(FPictures.size(), 3u);
  EXPECT_TRUE(Near(PixelAt(FFrames[0], 32, 24), kGreen));
  EXPECT_TRUE(Near(PixelAt(FFrames[1], 32, 24), kYellow));
  EXPECT_EQ(LogCount("MessageBox"), 0u);
  EXPECT_FALSE(App().Terminated());
}

}  // namespace
}  // namespace tovrin::testing
