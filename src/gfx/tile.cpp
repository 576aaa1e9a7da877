#include "gfx/tile.h"

#include <algorithm>
#include <cstdint>

#include "gfx/draw.h"

namespace tovrin {

void TileGraphic(TBitmap& canvas, const TRect& rect, const TBitmap& graphic) {
  if (graphic.Empty()) return;
  const int64_t w = graphic.Width();
  const int64_t h = graphic.Height();
  // Integer division truncating toward zero, also for an inverted rect.
  const int64_t rows = (int64_t{rect.Bottom} - rect.Top) / h + 1;
  const int64_t columns = (int64_t{rect.Right} - rect.Left) / w + 1;
  if (rows <= 0 || columns <= 0 || canvas.Empty()) return;

  // Tiles that cannot reach the canvas are skipped: they would draw nothing, and a huge rect
  // with a tiny graphic must not cost a loop over all of its tiles.
  const auto firstVisible = [](int64_t origin, int64_t size) {
    return origin >= 0 ? int64_t{0} : (-origin) / size;  // tile index whose far edge passes 0
  };
  const auto endVisible = [](int64_t origin, int64_t size, int64_t limit) {
    return origin >= limit ? int64_t{0} : (limit - origin + size - 1) / size;
  };
  const int64_t r0 = std::min(rows, firstVisible(rect.Top, h));
  const int64_t r1 = std::min(rows, endVisible(rect.Top, h, canvas.Height()));
  const int64_t c0 = std::min(columns, firstVisible(rect.Left, w));
  const int64_t c1 = std::min(columns, endVisible(rect.Left, w, canvas.Width()));
  for (int64_t r = r0; r < r1; ++r) {
    for (int64_t c = c0; c < c1; ++c) {
      Draw(canvas, static_cast<int32_t>(rect.Left + c * w), static_cast<int32_t>(rect.Top + r * h),
           graphic);
    }
  }
}

}  // namespace tovrin
