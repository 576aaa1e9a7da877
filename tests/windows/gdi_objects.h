// Owners of real GDI objects and conversions between them and our types, for the test programs
// that check our software regions and stretch copies against the platform's own results.
#pragma once

#include "windows_api.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/rect.h"

namespace tovrin::gdi {

struct TGdiObjectDeleter {
  void operator()(HRGN h) const { DeleteObject(h); }
};
// An HRGN that is deleted with its owner. Null when GDI refused to make the region.
using TRgnHandle = std::unique_ptr<std::remove_pointer_t<HRGN>, TGdiObjectDeleter>;

// The rectangle list and bounding box GetRegionData reports for a region.
struct TGdiRegionData {
  std::vector<TRect> Rects;
  TRect Bound;
  bool Ok = false;  // false when GetRegionData failed or returned a malformed block
};
TGdiRegionData RegionData(HRGN region);

// "(l,t,r,b) (l,t,r,b) ..." for messages; long lists are cut after `limit` rectangles.
std::string FormatRects(const std::vector<TRect>& rects, size_t limit = 40);
std::string FormatRect(const TRect& r);

// A 24-bit top-down DIB section selected into its own memory device context. Its rows have the
// same layout as a pf24bit TBitmap's (B, G, R, rows padded to 4 bytes).
class TDibSection {
 public:
  TDibSection(int32_t width, int32_t height);
  ~TDibSection();
  TDibSection(const TDibSection&) = delete;
  TDibSection& operator=(const TDibSection&) = delete;

  bool Valid() const { return FBitmap != nullptr && FBits != nullptr; }
  HDC DC() const { return FDC; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }

  // Copies the pixels of a pf24bit bitmap of the same size into the section, or back out of it.
  // Padding bytes at the end of rows are neither copied nor compared.
  void Load(const TBitmap& bitmap);
  TBitmap Save() const;

 private:
  int32_t FWidth;
  int32_t FHeight;
  size_t FStride;
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  uint8_t* FBits = nullptr;
};

// The first pixel where two pf24bit bitmaps of the same size differ, as "x,y: ours BBGGRR, GDI
// BBGGRR", or empty when they are equal (padding ignored).
std::string FirstPixelDifference(const TBitmap& ours, const TBitmap& theirs);

// A small deterministic generator for the test sweeps (not the program's process-wide one, which
// the tests leave alone).
class TSweepRandom {
 public:
  explicit TSweepRandom(uint64_t seed) : FState(seed) {}
  // A uniform integer from lo to hi inclusive.
  int32_t Range(int32_t lo, int32_t hi);

 private:
  uint64_t FState;
};

}  // namespace tovrin::gdi
