#include "gfx/fit.h"

#include <gtest/gtest.h>

#include <string>

namespace tovrin {
namespace {

std::string Fit(const TRect& source, const TRect& target) {
  const TRect r = FitRect(source, target);
  return "(" + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," +
         std::to_string(r.Right) + "," + std::to_string(r.Bottom) + ")";
}

TEST(FitRectTest, KeepsTheAspectRatioAndCentres) {
  const TRect picture{0, 0, 400, 300};
  // Same ratio: fills the target.
  EXPECT_EQ(Fit(picture, TRect{0, 0, 1024, 768}), "(0,0,1024,768)");
  // Wider target: full height, centred horizontally.
  EXPECT_EQ(Fit(picture, TRect{0, 0, 1280, 768}), "(128,0,1152,768)");
  // Taller target: full width, centred vertically.
  EXPECT_EQ(Fit(picture, TRect{0, 0, 1024, 1024}), "(0,128,1024,896)");
}

TEST(FitRectTest, SourcePositionIsIgnoredAndTargetOriginIsKept) {
  EXPECT_EQ(Fit(TRect{50, 60, 450, 360}, TRect{10, 20, 1290, 788}), "(138,20,1162,788)");
  // Portrait picture in a landscape target; an odd margin is halved toward zero.
  EXPECT_EQ(Fit(TRect{0, 0, 300, 400}, TRect{0, 0, 1023, 768}), "(223,0,799,768)");
  // Rounding of the scaled side: 3 x 2 into 10 x 10 gives height MulDiv(2, 10, 3) = 7.
  EXPECT_EQ(Fit(TRect{0, 0, 3, 2}, TRect{0, 0, 10, 10}), "(0,1,10,8)");
}

TEST(FitRectTest, PictureLargerThanTargetShrinks) {
  EXPECT_EQ(Fit(TRect{0, 0, 4000, 1000}, TRect{0, 0, 800, 600}), "(0,200,800,400)");
}

TEST(FitRectTest, SourceWithoutAreaGivesAnEmptyRectAtTheCentre) {
  EXPECT_EQ(Fit(TRect{0, 0, 0, 300}, TRect{0, 0, 100, 50}), "(50,25,50,25)");
  EXPECT_EQ(Fit(TRect{0, 0, 400, 0}, TRect{0, 0, 100, 50}), "(50,25,50,25)");
  EXPECT_EQ(Fit(TRect{}, TRect{10, 10, 11, 11}), "(10,10,10,10)");
}

}  // namespace
}  // namespace tovrin
