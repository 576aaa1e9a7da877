// The pixel-set helpers the comparisons rest on: a fault here would hide a mismatch.
#include "rect_list.h"

#include <gtest/gtest.h>

namespace tovrin::gdi {
namespace {

TEST(RectListTest, SameSetCutDifferentlyHasNoRowDifference) {
  // One 4x2 box, and the same pixels as two touching halves and as two rows.
  const std::vector<TRect> whole{{0, 0, 4, 2}};
  EXPECT_EQ(FirstRowDifference(whole, {{0, 0, 2, 2}, {2, 0, 4, 2}}), "");
  EXPECT_EQ(FirstRowDifference(whole, {{0, 0, 4, 1}, {0, 1, 4, 2}}), "");
  EXPECT_EQ(FirstRowDifference({}, {{3, 3, 3, 9}}), "");  // empty boxes hold no pixel
}

TEST(RectListTest, ReportsTheFirstDifferingRow) {
  const std::vector<TRect> a{{0, 0, 4, 2}};
  EXPECT_EQ(FirstRowDifference(a, {{0, 0, 4, 1}}), "row 1: ours [0,4) ; GDI nothing");
  EXPECT_EQ(FirstRowDifference(a, {{0, 0, 4, 1}, {0, 1, 5, 2}}), "row 1: ours [0,4) ; GDI [0,5) ");
  EXPECT_EQ(FirstRowDifference({}, {{2, -1, 3, 0}}), "row -1: ours nothing; GDI [2,3) ");
}

TEST(RectListTest, PixelBoundIgnoresEmptyBoxes) {
  EXPECT_EQ(PixelBound({}), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(PixelBound({{2, 0, 2, 1}, {1, 1, 3, 2}, {-4, 5, 0, 6}, {9, 9, 9, 10}}),
            (TRect{-4, 1, 3, 6}));
}

TEST(RectListTest, CanonicalFormIsRecognised) {
  std::string why;
  EXPECT_TRUE(IsCanonical({}, why));
  EXPECT_TRUE(IsCanonical({{0, 0, 2, 1}, {3, 0, 5, 1}, {0, 1, 5, 3}}, why)) << why;
  EXPECT_TRUE(IsCanonical({{0, 0, 2, 1}, {0, 2, 2, 3}}, why)) << why;  // equal but apart
  EXPECT_FALSE(IsCanonical({{0, 0, 2, 1}, {2, 0, 5, 1}}, why));        // touching in a band
  EXPECT_FALSE(IsCanonical({{3, 0, 5, 1}, {0, 0, 2, 1}}, why));        // unsorted band
  EXPECT_FALSE(IsCanonical({{0, 0, 2, 1}, {0, 1, 2, 3}}, why));        // equal touching bands
  EXPECT_FALSE(IsCanonical({{0, 0, 2, 2}, {0, 1, 2, 3}}, why));        // overlapping bands
  EXPECT_FALSE(IsCanonical({{0, 0, 2, 1}, {4, 0, 6, 2}}, why));        // ragged band
  EXPECT_FALSE(IsCanonical({{0, 0, 0, 1}}, why));                      // empty box
  // Equal spans touching after a band of two boxes.
  EXPECT_FALSE(IsCanonical({{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}, why));
  EXPECT_TRUE(IsCanonical({{0, 0, 1, 1}, {2, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 4, 2}}, why)) << why;
}

}  // namespace
}  // namespace tovrin::gdi
