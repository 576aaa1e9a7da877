#include "picshow/styles/style_table.h"

#include "gfx/draw.h"
#include "gfx/stretch.h"
#include "picshow/styles/geometric_regions.h"
#include "picshow/styles/pixel_drawing.h"
#include "picshow/styles/random_regions.h"
#include "picshow/styles/rect_pieces.h"

namespace tovrin {

namespace {

constexpr TStyleKind KindOf(int style) {
  if (style >= 1 && style <= 57) return TStyleKind::skRectangle;
  if (style >= 118 && style <= 122) return TStyleKind::skPixel;
  return TStyleKind::skRegion;  // 0, 58 to 117, 123 to 127
}

// The function of each style number.
constexpr TStyleProc ProcOf(int style) {
  if (style == 0) return &ComposeCut;
  if (IsRectangleStyle(style)) return &ComposeRectangleStyle;
  if (IsGeometricRegionStyle(style)) return &ComposeGeometricStyle;
  if (IsRandomRegionStyle(style)) return &ComposeRandomStyle;
  return &ComposePixelStyleFrame;
}

// Every style but the swing-in ones: region styles draw nothing before the finishing step, and the
// cut, the rectangle styles and the cross-fade lay OldPic themselves.
constexpr bool LaysOldPic(int style) {
  return KindOf(style) != TStyleKind::skPixel || style == CrossFadeStyle;
}

constexpr std::array<TStyleEntry, StyleCount> MakeTable() {
  std::array<TStyleEntry, StyleCount> table{};
  for (int i = 0; i < StyleCount; ++i) table[i] = TStyleEntry{KindOf(i), ProcOf(i), LaysOldPic(i)};
  return table;
}

constexpr std::array<TStyleEntry, StyleCount> kStyles = MakeTable();
static_assert(kStyles.size() == 128, "one row per style number 0..127");
static_assert(kStyles[0].Kind == TStyleKind::skRegion &&
              kStyles[57].Kind == TStyleKind::skRectangle &&
              kStyles[118].Kind == TStyleKind::skPixel &&
              kStyles[123].Kind == TStyleKind::skRegion);
static_assert([] {
  // Every style number belongs to exactly one family, and the family agrees with the kind.
  for (int i = 1; i < StyleCount; ++i) {
    const int families =
        IsRectangleStyle(i) + IsGeometricRegionStyle(i) + IsRandomRegionStyle(i) + IsPixelStyle(i);
    if (families != 1) return false;
    if (IsRectangleStyle(i) != (KindOf(i) == TStyleKind::skRectangle)) return false;
    if (IsPixelStyle(i) != (KindOf(i) == TStyleKind::skPixel)) return false;
  }
  return true;
}());

}  // namespace

const TStyleEntry& StyleEntry(uint8_t style) {
  return kStyles[style & 0x7F];
}

void TStyleFrame::CopyPieceNow() const {
  StretchCopy(Args.Media, Dest, Args.NewPic, Source);
  Args.Hooks.Invalidate(Dest);
}

void TStyleFrame::DrawPendingOldPic() {
  if (!OldPicPending) return;
  Draw(Args.Media, 0, 0, Args.OldPic);
  OldPicPending = false;
}

void TStyleFrame::DrawPendingOldPicOutside(const TRegion& covered) {
  if (!OldPicPending) return;
  const TRegion all = TRegion::CreateRectRgn(0, 0, Args.Media.Width(), Args.Media.Height());
  DrawClipped(Args.Media, 0, 0, Args.OldPic,
              TRegion::Combine(all, covered, TCombineMode::RGN_DIFF));
  OldPicPending = false;
}

}  // namespace tovrin
