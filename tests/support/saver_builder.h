// Finished screen savers for tests: a program image followed by a package laid out as the
// authoring tool lays it out (pictures, sounds, movies, settings, trailer), written into a
// scratch folder of the test's own; and a caption renderer whose glyphs are plain boxes, for
// tests that need text without fonts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gfx/bitmap.h"
#include "package/ss_file_locations.h"
#include "platform/text_renderer.h"

namespace tovrin::testing {

struct TSaverFile {
  std::string Name;
  std::vector<uint8_t> Bytes;
};

// A scratch folder removed with the object.
class TScratchFolder {
 public:
  explicit TScratchFolder(const std::string& tag);
  ~TScratchFolder();
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return FPath; }
  // Path as text, ending in the separator.
  std::string Dir() const;

 private:
  std::filesystem::path FPath;
};

// Writes path: a 2000-byte program image, then the package. settings supplies everything but the
// location lists, which are filled in (and left in settings for the test to read).
void WriteSaver(const std::string& path, TSSFileLocations& settings,
                const std::vector<std::vector<uint8_t>>& pictures,
                const std::vector<TSaverFile>& sounds = {},
                const std::vector<TSaverFile>& movies = {});

// The same, but craft(settings) runs after the location lists are filled in and before the
// settings object is written: a test can make entries the authoring tool never would (names,
// offsets and sizes that point anywhere).
void WriteCraftedSaver(const std::string& path, TSSFileLocations& settings,
                       const std::vector<std::vector<uint8_t>>& pictures,
                       const std::vector<TSaverFile>& sounds, const std::vector<TSaverFile>& movies,
                       const std::function<void(TSSFileLocations&)>& craft);

// A JPEG of one flat colour (0xRRGGBB), baseline, quality 95.
std::vector<uint8_t> FlatJpeg(int width, int height, uint32_t rgb);

// A RIFF WAVE file of 16-bit mono samples at 8000 Hz lasting ms milliseconds; sample values
// run from seed upwards, so two sounds can be told apart.
std::vector<uint8_t> MakeWave(uint32_t ms, int16_t seed);

// Text as boxes: each character is 0.6 em wide; a glyph fills its cell but for a one-pixel
// margin. Deterministic and independent of the fonts installed.
class TBoxTextRenderer final : public TTextRenderer {
 public:
  TTextSize TextExtent(const TTextFont& font, std::string_view text) override;
  void TextOut(TBitmap& target, int32_t x, int32_t y, const TTextFont& font,
               std::string_view text) override;
};

}  // namespace tovrin::testing
