#include "picshow/style_table.h"

#include "gfx/stretch.h"

namespace tovrin {

namespace {

constexpr TStyleKind KindOf(int style) {
  if (style >= 1 && style <= 57) return TStyleKind::skRectangle;
  if (style >= 118 && style <= 122) return TStyleKind::skPixel;
  return TStyleKind::skRegion;  // 0, 58 to 117, 123 to 127
}

// The styles built so far; every other row composes through ComposeNotBuilt.
constexpr TStyleProc BuiltProc(int style) {
  switch (style) {
    case 0:
      return &ComposeCut;
    case 5:
      return &ComposeWipeLeft;
    default:
      return nullptr;
  }
}

constexpr std::array<TStyleEntry, StyleCount> MakeTable() {
  std::array<TStyleEntry, StyleCount> table{};
  for (int i = 0; i < StyleCount; ++i) table[i] = TStyleEntry{KindOf(i), BuiltProc(i)};
  return table;
}

constexpr std::array<TStyleEntry, StyleCount> kStyles = MakeTable();
static_assert(kStyles.size() == 128, "one row per style number 0..127");
static_assert(kStyles[0].Kind == TStyleKind::skRegion &&
              kStyles[57].Kind == TStyleKind::skRectangle &&
              kStyles[118].Kind == TStyleKind::skPixel &&
              kStyles[123].Kind == TStyleKind::skRegion);

}  // namespace

const TStyleEntry& StyleEntry(uint8_t style) {
  return kStyles[style & 0x7F];
}

bool IsStyleBuilt(uint8_t style) {
  return style < StyleCount && kStyles[style].Compose != nullptr;
}

void TStyleFrame::CopyPieceNow() const {
  StretchCopy(Args.Media, Dest, Args.NewPic, Source);
  Args.Hooks.Invalidate(Dest);
}

}  // namespace tovrin
