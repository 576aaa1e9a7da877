// What the studio's tests share: a session over a folder of small photos made here, with the
// engine of this build tree, and the files' bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "picture_samples.h"
#include "scratch_dir.h"
#include "studio_session.h"

namespace tovrin::test {

inline std::vector<uint8_t> FileBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A JPEG of UprightPicture stored as a camera does for `orientation` (1: no EXIF block).
inline std::vector<uint8_t> PhotoJpeg(int32_t width, int32_t height, int orientation = 1) {
  const std::vector<uint8_t> jpeg = JpegOf(StoredFor(UprightPicture(width, height), orientation));
  if (orientation == 1) return jpeg;
  return WithSegment(jpeg, ExifSegment(OrientationTiff({.Value = orientation})));
}

class StudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FDir = ScratchDirFor("tovrin-studio");
    FPhotos = FDir / "photos";
    std::filesystem::create_directories(FPhotos / "inner");
    WriteFile(FPhotos / "a.jpg", PhotoJpeg(64, 48));
    WriteFile(FPhotos / "b.jpg", PhotoJpeg(48, 64));
    WriteFile(FPhotos / "inner" / "c.jpg", PhotoJpeg(40, 30));
    // Outside the folder the studio is given.
    std::filesystem::create_directories(FDir / "elsewhere");
    WriteFile(FDir / "elsewhere" / "d.jpg", PhotoJpeg(32, 32));
  }
  void TearDown() override {
    FSession.reset();
    std::filesystem::remove_all(FDir);
  }

  TStudioSession& Session(bool withFolder = true) {
    TStudioSetup setup;
    setup.Folders = {FPhotos.string()};
    setup.LinuxEngine = TOVRIN_ENGINE_EXE;
    FSession = std::make_unique<TStudioSession>(setup);
    if (!withFolder) {
      for (const TStudioPhoto& photo : FSession->Photos()) FSession->RemovePhoto(photo.Id);
    }
    return *FSession;
  }

  std::filesystem::path FDir;
  std::filesystem::path FPhotos;
  std::unique_ptr<TStudioSession> FSession;
};

}  // namespace tovrin::test
