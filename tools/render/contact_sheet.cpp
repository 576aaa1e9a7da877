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

TBitmap LayOutSheet(const std::vector<TBitmap>& pictures, const TSheetLayout& layout) {
  const int count = std::max(1, static_cast<int>(pictures.size()));
  const int columns = std::max(1, std::min(layout.Columns, count));
  const int rows = (count + columns - 1) / columns;
  const int thumbW = std::max(1, layout.ThumbWidth);
  const TBitmap* first = pictures.empty() ? nullptr : &pictures.front();
  const int thumbH =
      first ? std::max(1, static_cast<int>(static_cast<int64_t>(thumbW) * first->Height() /
                                           std::max(1, first->Width())))
            : thumbW * 9 / 16;
  const int gap = std::max(0, layout.Gap);
  TBitmap sheet(columns * thumbW + (columns + 1) * gap, rows * thumbH + (rows + 1) * gap);
  sheet.Fill(0x303030);
  for (size_t i = 0; i < pictures.size(); ++i) {
    const int n = static_cast<int>(i);
    const int left = gap + (n % columns) * (thumbW + gap);
    const int top = gap + (n / columns) * (thumbH + gap);
    StretchDrawGraphic(sheet, TRect{left, top, left + thumbW, top + thumbH}, pictures[i]);
  }
  return sheet;
}

TBitmap RenderContactSheet(const TBitmap& oldPic, const TBitmap& newPic, TFrameRequest request,
                           const std::vector<int>& progressValues, const TSheetLayout& layout) {
  std::vector<TBitmap> frames;
  frames.reserve(progressValues.size());
  for (const int progress : progressValues) {
    request.Progress = progress;
    frames.push_back(RenderFrame(oldPic, newPic, request));
  }
  return LayOutSheet(frames, layout);
}

}  // namespace tovrin
