// Bilinear resampling of a fractional region of a bitmap to the whole of another: the frame
// drawing of a picture that moves slowly during its hold.
//
// The region is given in 16.16 fixed point, so a framing can move by a fraction of a pixel from
// one frame to the next and the motion stays smooth. Destination pixel (x, y) samples the source
// at the point that keeps pixel centres in place:
//
//   sx = Left + (x + 1/2) * Width / destWidth - 1/2      (likewise sy with Top, Height)
//
// and blends the four source pixels around it with 8-bit weights; a point beyond the first or
// last source pixel takes that pixel (edges repeated). So a region of exactly the destination's
// size at a whole-pixel offset is an exact copy, and a region twice the destination's size
// averages pairs of pixels.
//
// Written for speed, since it runs for every frame of the hold at screen size: the column
// positions and weights are stepped once per frame into tables (no division per pixel), each
// source row that the frame needs is interpolated across once into a 16-bit row at the
// destination's width, and each destination row is then the vertical blend of two such rows (a
// plain loop the compiler vectorises). For enlargements, as in the motion (1x to about 1.15x),
// neighbouring destination rows share their source rows, so most rows cost only the blend.
//
// Meant for scales near 1 and above: shrinking by more than 2x skips source pixels (the motion
// prepares its source at the screen's scale once per slide with StretchDrawGraphic, which
// averages areas).
#pragma once

#include <cstdint>
#include <vector>

#include "gfx/bitmap.h"

namespace tovrin {

// A rectangle in 16.16 fixed-point pixel units (65536 is one pixel).
struct TFixedRect {
  int64_t Left = 0;
  int64_t Top = 0;
  int64_t Width = 0;
  int64_t Height = 0;
  friend bool operator==(const TFixedRect&, const TFixedRect&) = default;
};

inline constexpr int64_t kFixedOne = 65536;

// Resamples regions into destinations, keeping its working tables between calls, so that a
// sequence of frames of one size allocates only on the first one.
class TRegionResampler {
 public:
  // Draws region of src scaled to the whole of dest. Both bitmaps are pf24bit; src is not
  // empty; region has positive extents. Parts of the region beyond src repeat its edge pixels
  // (a region inside src never reads beyond it). dest and src must be different bitmaps.
  void Resample(TBitmap& dest, const TBitmap& src, const TFixedRect& region);

 private:
  // Fills the column tables for a destination width.
  void PlanColumns(int32_t destWidth, int32_t srcWidth, int64_t left, int64_t width);
  // Interpolates source row y across into FRows[slot].
  void InterpolateRow(const TBitmap& src, int32_t y, int slot, int32_t destWidth);

  // Per destination column: the byte offsets of the two source pixels, and per channel the
  // weight of the second (0 to 255); the two pixels of every column of the row at hand.
  std::vector<int32_t> FFirst;
  std::vector<int32_t> FSecond;
  std::vector<uint16_t> FWeight;
  std::vector<uint8_t> FTapA;
  std::vector<uint8_t> FTapB;
  // Two source rows interpolated to the destination width, 256 times their 8-bit values, and
  // which source row each holds (-1: none).
  std::vector<uint16_t> FRows[2];
  int32_t FRowOf[2] = {-1, -1};
};

}  // namespace tovrin
