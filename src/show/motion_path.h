// The slow pan and zoom of a picture during its hold (lMotion).
//
// With motion the picture always fills the screen: it is scaled once per slide, proportions kept,
// to the smallest size that covers the screen (its "source"), and each frame of the hold shows a
// framing of that source: a rectangle with the screen's proportions, inside the source, scaled to
// the screen. So nothing outside the picture ever shows, whatever its shape. (A stretched show's
// source is the picture stretched to the screen, so its framings keep the stretch.)
//
//   source (a portrait picture on a landscape screen)       the screen
//   +-----------+
//   |+---------+|  start framing  ---------------------->  +-------------------+
//   ||         ||                                           |                   |
//   |+---------+|      |  the framing slides down           |  the framing,     |
//   |     |     |      v  (eased at both ends)              |  scaled to fit    |
//   |+---------+|                                           |                   |
//   ||         ||  end framing                              +-------------------+
//   |+---------+|
//   +-----------+
//
// The path depends on the picture's shape against the screen's (r = picture aspect / screen
// aspect):
//   r < kPortraitBelow     pan vertically over the whole height (down, or up when reversed);
//   r > kPanoramaAbove     pan across the whole width (left to right, or back when reversed);
//   otherwise              zoom in from the whole centred framing to kZoomPercent, or out
//                          (reversed), the zoomed framing drifting a little off centre.
// Each of Left, Top, Width and Height moves linearly with the eased time, so the zoom factor and
// each offset change monotonically, and since the start and end framings lie inside the source,
// so does every framing between them. The time is eased with smoothstep (3t^2 - 2t^3), all in
// integer fixed point, so a path gives the same framings on every platform.
//
// The random part of a path (direction, drift) is drawn once per slide from the process
// generator (DrawMotionChoice) and applied to every monitor's size alike.
#pragma once

#include <cstdint>

#include "core/random.h"
#include "gfx/rect.h"
#include "gfx/region_resample.h"

namespace tovrin {

inline constexpr int32_t kZoomPercent = 115;
// Shape ratios, in thousandths, that make a picture a portrait or a panorama on a screen.
inline constexpr int64_t kPortraitBelow = 750;
inline constexpr int64_t kPanoramaAbove = 1600;
// The longer side of a source is at most this many screen sides (a very long panorama is cut
// to its middle part), and never more than a bitmap may hold.
inline constexpr int32_t kMaxSourceScreens = 4;
inline constexpr int32_t kMaxSourceSide = 16384;

enum class TMotionKind : uint8_t { mkZoom, mkPanVertical, mkPanAcross };

// The random part of a slide's motion.
struct TMotionChoice {
  bool Reverse = false;  // zoom out instead of in; pan up or right to left
  // Where the zoomed framing lies within the whole one, in thousandths of the room left
  // (200 to 800; 500 is centred).
  int32_t DriftX = 500;
  int32_t DriftY = 500;
};

// Draws a choice from random: always three numbers, whatever the picture.
TMotionChoice DrawMotionChoice(TRandom& random);

// How a picture is scaled for the motion on one screen.
struct TMotionSource {
  TRect Part;   // the part of the picture used (all of it but for very long panoramas)
  TPoint Size;  // Part scaled to cover the screen
};

// The source of a width x height picture on a screenWidth x screenHeight screen; with stretch,
// the whole picture at the screen's size. All sizes are positive.
TMotionSource MotionSourceFor(int32_t width, int32_t height, int32_t screenWidth,
                              int32_t screenHeight, bool stretch);

// The kind of path for a source of sourceSize on a screen of screenSize.
TMotionKind MotionKindFor(TPoint sourceSize, TPoint screenSize);

class TMotionPath {
 public:
  TMotionPath() = default;
  // The path over a source of sourceSize (at least screenSize in both directions) on a screen of
  // screenSize.
  TMotionPath(TPoint sourceSize, TPoint screenSize, const TMotionChoice& choice);

  TMotionKind Kind() const { return FKind; }
  const TFixedRect& Start() const { return FStart; }
  const TFixedRect& End() const { return FEnd; }
  // The framing elapsedMs into a hold of durationMs (the end framing from durationMs on, and
  // for a duration of 0).
  TFixedRect At(uint32_t elapsedMs, uint32_t durationMs) const;

 private:
  TMotionKind FKind = TMotionKind::mkZoom;
  TFixedRect FStart;
  TFixedRect FEnd;
};

}  // namespace tovrin
