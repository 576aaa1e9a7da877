// Seed inputs for the package fuzzers, made by the writer so that they start from real layouts.
#include <string>
#include <vector>

#include "package/object_writer.h"
#include "package/stream.h"
#include "seed_corpus.h"
#include "test_jpeg.h"

namespace tovrin::fuzz {

namespace {

std::vector<uint8_t> PictureItem(int w, int h, bool grey, bool progressive) {
  TMemoryStream s;
  WritePictureItem(s, test::MakeJPEG(w, h, grey, progressive));
  return s.Bytes();
}

void FillSettings(TSSFileLocations& s) {
  s.SetText("caption, \"quoted\"");
  s.SetlRandomPic(true);
  s.SetInterval(5000);
  s.SetTitle("Title");
  s.SetVer("photo");
  s.SetEffectCommaList("0,1,127");
  s.SetDescriptCommaList("a b,,c");
  TFont font;
  font.SetPitch(TFontPitch::fpVariable);
  font.SetStyle(FontStyleBit(fsItalic));
  s.SetTextFont(font);
}

std::string Field(int64_t v) {
  std::string s = std::to_string(v);
  s.resize(20, ' ');
  return s;
}

}  // namespace

std::vector<std::vector<uint8_t>> ObjectStreamSeeds() {
  std::vector<std::vector<uint8_t>> seeds;
  seeds.push_back(PictureItem(8, 8, false, false));
  seeds.push_back(PictureItem(5, 3, true, true));
  TSSFileLocations rich;
  FillSettings(rich);
  TMemoryStream settings;
  WriteShowSettings(settings, rich);
  seeds.push_back(settings.Bytes());
  return seeds;
}

std::vector<std::vector<uint8_t>> PackageSeeds() {
  TMemoryStream file;
  const std::string image(64, 'M');
  file.WriteBuffer(image.data(), image.size());
  TSSFileLocations s;
  FillSettings(s);
  for (int i = 0; i < 2; ++i) {
    s.PicList().push_back(std::to_string(file.Position()));
    WritePictureItem(file, test::MakeJPEG(6 + i, 4, i == 1, false));
  }
  s.SndList().push_back(std::to_string(file.Position()));
  s.SndFileNameList().push_back("a sound.mp3");
  s.SndSizeList().push_back("5");
  file.WriteBuffer("12345", 5);
  s.FlashList().push_back(std::to_string(file.Position()));
  s.FlashFileNameList().push_back("m.swf");
  s.FlashSizeList().push_back("3");
  file.WriteBuffer("FWS", 3);
  const int64_t settingsOffset = file.Position();
  WriteShowSettings(file, s);
  const std::string trailer = Field(file.Position() - 64) + Field(settingsOffset);
  file.WriteBuffer(trailer.data(), trailer.size());
  return {file.Bytes()};
}

}  // namespace tovrin::fuzz
