#include "tools/render/contact_sheet.h"

#include <algorithm>

#include "gfx/stretch.h"

namespace tovrin {

std::vector<int> TransitionProgressValues(int step, bool withStart) {
  std::vector<int> values;
  if (withStart) values.push_back(0);
  step = std::clamp(step, 1, 100);
  for (int p = step; p < 100; p += step) values.push_back(p);
  values.push_back(100);
  return values;
}

TBitmap RenderContactSheet(const TBitmap& oldPic, const TBitmap& newPic, TFrameRequest request,
                           const std::vector<int>& progressValues, const TSheetLayout& layout) {
  const int count = static_cast<int>(progressValues.size());
  const int columns = std::max(1, std::min(layout.Columns, count));
  const int rows = (count + columns - 1) / columns;
  const int thumbW = std::max(1, layout.ThumbWidth);
  const int thumbH = std::max(
      1, static_cast<int>(static_cast<int64_t>(thumbW) * oldPic.Height() / std::max(1, oldPic.Width())));
  const int gap = std::max(0, layout.Gap);
  TBitmap sheet(columns * thumbW + (columns + 1) * gap, rows * thumbH + (rows + 1) * gap);
  sheet.Fill(0x303030);
  for (int i = 0; i < count; ++i) {
    request.Progress = progressValues[static_cast<size_t>(i)];
    const TBitmap frame = RenderFrame(oldPic, newPic, request);
    const int left = gap + (i % columns) * (thumbW + gap);
    const int top = gap + (i / columns) * (thumbH + gap);
    StretchDrawGraphic(sheet, TRect{left, top, left + thumbW, top + thumbH}, frame);
  }
  return sheet;
}

}  // namespace tovrin
