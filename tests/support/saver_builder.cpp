#include "saver_builder.h"

#include <cstdlib>
#include <fstream>

#include <unistd.h>

#include "jpeg_maker.h"
#include "package/object_writer.h"
#include "package/package_locator.h"
#include "package/stream.h"
#include "wave_bytes.h"

namespace tovrin::testing {

namespace fs = std::filesystem;

TScratchFolder::TScratchFolder(const std::string& tag) {
  FPath = fs::temp_directory_path() / ("tovrin_" + tag + "_" + std::to_string(getpid()));
  fs::remove_all(FPath);
  fs::create_directories(FPath);
}

TScratchFolder::~TScratchFolder() {
  std::error_code ec;
  fs::remove_all(FPath, ec);
}

std::string TScratchFolder::Dir() const {
  return FPath.string() + "/";
}

namespace {

std::string Field(int64_t v) {
  std::string s = std::to_string(v);
  s.resize(TrailerFieldSize, ' ');
  return s;
}

void AppendFiles(TMemoryStream& file, const std::vector<TSaverFile>& files, TStringList& offsets,
                 TStringList& names, TStringList& sizes) {
  offsets.clear();
  names.clear();
  sizes.clear();
  for (const TSaverFile& f : files) {
    offsets.push_back(std::to_string(file.Position()));
    names.push_back(f.Name);
    sizes.push_back(std::to_string(f.Bytes.size()));
    if (!f.Bytes.empty()) file.WriteBuffer(f.Bytes.data(), f.Bytes.size());
  }
}

}  // namespace

void WriteSaver(const std::string& path, TSSFileLocations& settings,
                const std::vector<std::vector<uint8_t>>& pictures,
                const std::vector<TSaverFile>& sounds, const std::vector<TSaverFile>& movies) {
  WriteCraftedSaver(path, settings, pictures, sounds, movies, {});
}

void WriteCraftedSaver(const std::string& path, TSSFileLocations& settings,
                       const std::vector<std::vector<uint8_t>>& pictures,
                       const std::vector<TSaverFile>& sounds, const std::vector<TSaverFile>& movies,
                       const std::function<void(TSSFileLocations&)>& craft) {
  constexpr size_t kImageSize = 2000;
  TMemoryStream file;
  const std::string image(kImageSize, 'M');
  file.WriteBuffer(image.data(), image.size());
  settings.PicList().clear();
  for (const auto& jpeg : pictures) {
    settings.PicList().push_back(std::to_string(file.Position()));
    WritePictureItem(file, jpeg);
  }
  AppendFiles(file, sounds, settings.SndList(), settings.SndFileNameList(), settings.SndSizeList());
  AppendFiles(file, movies, settings.FlashList(), settings.FlashFileNameList(),
              settings.FlashSizeList());
  if (craft) craft(settings);
  const int64_t settingsOffset = file.Position();
  WriteShowSettings(file, settings);
  const int64_t packageLength = file.Position() - static_cast<int64_t>(kImageSize);
  const std::string trailer = Field(packageLength) + Field(settingsOffset);
  file.WriteBuffer(trailer.data(), trailer.size());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.Bytes().data()),
            static_cast<std::streamsize>(file.Bytes().size()));
}

std::vector<uint8_t> FlatJpeg(int width, int height, uint32_t rgb) {
  return MakeJpeg(
      width, height, TJpegKind::Colour, [rgb](int, int) { return rgb; }, 95);
}

std::vector<uint8_t> MakeWave(uint32_t ms, int16_t seed) {
  std::vector<int16_t> samples(ms * 8);  // 8000 samples a second, mono
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(seed + static_cast<int16_t>(i % 1000));
  }
  return WaveBytes(samples, 1, 8000);
}

TTextSize TBoxTextRenderer::TextExtent(const TTextFont& font, std::string_view text) {
  const int32_t em = font.Height < 0 ? -font.Height : (font.Height * 4) / 5;
  return TTextSize{static_cast<int32_t>(text.size()) * (em * 3 / 5), em + em / 4};
}

void TBoxTextRenderer::TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
                               std::string_view text) {
  const TTextSize size = TextExtent(font, text);
  const int32_t cell = text.empty() ? 0 : size.Width / static_cast<int32_t>(text.size());
  const TColor rgb = ColorToRGB(font.Color);
  for (size_t i = 0; i < text.size(); ++i) {
    const int32_t left = x + static_cast<int32_t>(i) * cell + 1;
    for (int32_t py = y + 1; py < y + size.Height - 1; ++py) {
      if (py < 0 || py >= target.Height()) continue;
      for (int32_t px = left; px < left + cell - 2; ++px) {
        if (px < 0 || px >= target.Width()) continue;
        uint8_t* p = target.ScanLine(py) + px * 3;
        p[0] = GetBValue(rgb);
        p[1] = GetGValue(rgb);
        p[2] = GetRValue(rgb);
      }
    }
  }
}

}  // namespace tovrin::testing
