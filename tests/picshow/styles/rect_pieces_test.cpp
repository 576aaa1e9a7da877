#include "picshow/styles/rect_pieces.h"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

TFrameExtents At(int32_t w, int32_t h, int32_t progress, int32_t step = 4) {
  return ComputeFrameExtents(w, h, progress, step);
}

TEST(FrameExtentsTest, LongerSideLeadsAndStepDividesByNinety) {
  const TFrameExtents portrait = At(300, 400, 50);
  EXPECT_EQ(portrait.Y, 200);
  EXPECT_EQ(portrait.X, 150);
  const TFrameExtents square = At(333, 333, 37);
  EXPECT_EQ(square.X, square.Y);
  EXPECT_EQ(square.X, 123);  // 333 * 37 / 100 = 123.21
  EXPECT_EQ(At(800, 600, 10, 100).S, 889);
  const TFrameExtents full = At(641, 481, 100);
  EXPECT_EQ(full.X, 641);
  EXPECT_EQ(full.Y, 481);
  // MulDiv rounds: 640 * 1 / 100 = 6.4 gives 6, and Y follows X: 6 * 480 / 640 = 4.5 gives 5.
  const TFrameExtents first = At(640, 480, 1);
  EXPECT_EQ(first.X, 6);
  EXPECT_EQ(first.Y, 5);
}

TEST(RectStylesTest, HorizontalFamiliesAtKnownFrames) {
  const TRect F{0, 0, 640, 480};
  TRectStylePieces p = RectangleStylePieces(1, At(640, 480, 50));
  ASSERT_EQ(p.Count, 1);
  EXPECT_EQ(p.Last().Dest, (TRect{320, 0, 640, 480}));
  EXPECT_EQ(p.Last().Source, F);

  p = RectangleStylePieces(3, At(640, 480, 25));
  ASSERT_EQ(p.Count, 1);
  EXPECT_EQ(p.Last().Dest, (TRect{480, 0, 1120, 480}));

  p = RectangleStylePieces(7, At(640, 480, 1));
  EXPECT_EQ(p.Last().Dest, (TRect{0, 0, 1274, 480}));
  EXPECT_EQ(p.Last().Source, (TRect{0, 0, 6, 480}));

  // Style 12 at Progress 0: the left piece is one column wide and drawn at once; the right piece
  // is the last one and waits for the finishing step.
  p = RectangleStylePieces(12, At(640, 480, 0));
  ASSERT_EQ(p.Count, 2);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 0, 1, 480}));
  EXPECT_EQ(p.Pieces[0].Source, p.Pieces[0].Dest);
  EXPECT_EQ(p.Last().Dest, (TRect{639, 0, 640, 480}));

  // Smear: the strip ahead of the edge is stretched over the rest, and in the last twentieth its
  // source runs past the right edge (it is handed on unclipped).
  p = RectangleStylePieces(16, At(640, 480, 98));
  ASSERT_EQ(p.Count, 2);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 0, 627, 480}));
  EXPECT_EQ(p.Last().Dest, (TRect{627, 0, 640, 480}));
  EXPECT_EQ(p.Last().Source, (TRect{627, 0, 659, 480}));

  p = RectangleStylePieces(13, At(641, 481, 50));
  ASSERT_EQ(p.Count, 2);
  EXPECT_EQ(p.Pieces[0].Source, (TRect{0, 0, 321, 481}));
  EXPECT_EQ(p.Last().Source, (TRect{320, 0, 641, 481}));
}

TEST(RectStylesTest, RollFoldGrowsHoldsAndShrinks) {
  const std::pair<int32_t, int32_t> cases[] = {{0, 0},     {100, 50},  {199, 99}, {200, 100},
                                               {500, 100}, {800, 100}, {801, 99}, {900, 50},
                                               {950, 25},  {1000, 0}};
  for (const auto& [x, b] : cases) EXPECT_EQ(RollFoldWidth(x, 1000), b) << "x = " << x;

  // The fold comes first, mirrored, ahead of the edge; the uncovered part is the last piece.
  TFrameExtents e = At(1000, 500, 30);  // X = 300, B = 100
  TRectStylePieces p = RectangleStylePieces(14, e);
  ASSERT_EQ(p.Count, 2);
  EXPECT_EQ(p.Pieces[0].Mirror, TPieceMirror::Horizontal);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{300, 0, 400, 500}));
  EXPECT_EQ(p.Pieces[0].Source, (TRect{400, 0, 500, 500}));
  EXPECT_EQ(p.Last().Mirror, TPieceMirror::None);
  EXPECT_EQ(p.Last().Dest, (TRect{0, 0, 300, 500}));

  p = RectangleStylePieces(15, e);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{600, 0, 700, 500}));
  EXPECT_EQ(p.Pieces[0].Source, (TRect{500, 0, 600, 500}));
  EXPECT_EQ(p.Last().Dest, (TRect{700, 0, 1000, 500}));

  // The vertical rolls fold top to bottom and take their width from Y and H.
  e = At(1000, 500, 30);  // Y = 150, B = 500 / 10 = 50
  p = RectangleStylePieces(31, e);
  EXPECT_EQ(p.Pieces[0].Mirror, TPieceMirror::Vertical);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 150, 1000, 200}));
  EXPECT_EQ(p.Pieces[0].Source, (TRect{0, 200, 1000, 250}));
}

TEST(RectStylesTest, VerticalStylesExchangeTheAxes) {
  const TFrameExtents e = At(640, 480, 50);  // X = 320, Y = 240
  TRectStylePieces p = RectangleStylePieces(18, e);
  EXPECT_EQ(p.Last().Dest, (TRect{0, 240, 640, 480}));
  EXPECT_EQ(p.Last().Source, (TRect{0, 0, 640, 480}));

  p = RectangleStylePieces(29, e);
  ASSERT_EQ(p.Count, 2);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 0, 640, 121}));
  EXPECT_EQ(p.Last().Dest, (TRect{0, 359, 640, 480}));

  p = RectangleStylePieces(33, e);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 0, 640, 240}));
  EXPECT_EQ(p.Last().Dest, (TRect{0, 240, 640, 480}));
  EXPECT_EQ(p.Last().Source, (TRect{0, 240, 640, 264}));
}

TEST(RectStylesTest, FourPieceStylesKeepTheirOffsets) {
  // Style 57 on 641 x 481 at Progress 0: the first quarter still lies left of the picture but for
  // one column, (-641) / 2 truncating to -320.
  TRectStylePieces p = RectangleStylePieces(57, At(641, 481, 0));
  ASSERT_EQ(p.Count, 4);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{-320, 0, 1, 241}));
  EXPECT_EQ(p.Pieces[1].Dest, (TRect{319, -240, 641, 1}));
  EXPECT_EQ(p.Pieces[2].Dest, (TRect{641, 239, 961, 481}));
  EXPECT_EQ(p.Pieces[3].Dest, (TRect{0, 481, 321, 721}));
  EXPECT_EQ(p.Pieces[3].Source, (TRect{0, 241, 321, 481}));

  p = RectangleStylePieces(55, At(640, 480, 50));
  ASSERT_EQ(p.Count, 4);
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 0, 161, 121}));
  EXPECT_EQ(p.Pieces[1].Dest, (TRect{0, 359, 161, 480}));
  EXPECT_EQ(p.Pieces[2].Dest, (TRect{479, 359, 640, 480}));
  EXPECT_EQ(p.Last().Dest, (TRect{479, 0, 640, 121}));

  p = RectangleStylePieces(56, At(640, 480, 50));
  EXPECT_EQ(p.Pieces[1].Dest, (TRect{0, 360, 161, 480}));
  EXPECT_EQ(p.Pieces[1].Source, (TRect{0, 241, 321, 480}));
  EXPECT_EQ(p.Last().Source, (TRect{321, 0, 640, 241}));

  p = RectangleStylePieces(54, At(640, 480, 50));
  EXPECT_EQ(p.Pieces[0].Dest, (TRect{0, 0, 640, 120}));
  EXPECT_EQ(p.Last().Dest, (TRect{480, 0, 640, 480}));
}

TEST(RectStylesTest, EveryStyleHasPiecesAndOnlyRectangleStylesDo) {
  for (int style = 0; style <= 127; ++style) {
    const TRectStylePieces p = RectangleStylePieces(style, At(37, 23, 40));
    if (!IsRectangleStyle(style)) {
      EXPECT_EQ(p.Count, 0) << "style " << style;
      continue;
    }
    ASSERT_GE(p.Count, 1) << "style " << style;
    EXPECT_EQ(p.Last().Mirror, TPieceMirror::None) << "style " << style;
  }
}

TEST(RectStylesTest, FullProgressCoversThePictureInPlace) {
  // At Progress 100 the last piece of every squeeze, slide, wipe and expand style is the full
  // picture copied to itself; the finishing step draws NewPic whole in any case, so this guards the
  // tables against a sign slip that would show up only in the frames before the last.
  for (int style :
       {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
        28, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53}) {
    const TRectStylePieces p = RectangleStylePieces(style, At(641, 481, 100));
    EXPECT_EQ(p.Last().Dest, (TRect{0, 0, 641, 481})) << "style " << style;
    EXPECT_EQ(p.Last().Source, (TRect{0, 0, 641, 481})) << "style " << style;
  }
}

}  // namespace
}  // namespace tovrin
