// A contact sheet of a whole transition: every frame of one run of a style, scaled down and laid
// out in a grid, so an author can see a style at a glance.
#pragma once

#include <vector>

#include "gfx/bitmap.h"
#include "tools/render/render_frame.h"

namespace tovrin {

// The Progress values of one forward run: Step, 2 Step, ... up to 100 (the last frame is always
// 100), preceded by 0 when withStart is set.
std::vector<int> TransitionProgressValues(int step, bool withStart);

struct TSheetLayout {
  int Columns = 6;
  int ThumbWidth = 240;  // each frame is scaled to this width, keeping its proportions
  int Gap = 4;
};

// Lays the pictures out left to right, top to bottom on a dark grey sheet, each scaled to the
// layout's thumbnail width (the height follows the first picture's proportions).
TBitmap LayOutSheet(const std::vector<TBitmap>& pictures, const TSheetLayout& layout);

// Renders the frames of the given progress values and lays them out left to right, top to bottom
// on a dark grey sheet.
TBitmap RenderContactSheet(const TBitmap& oldPic, const TBitmap& newPic, TFrameRequest request,
                           const std::vector<int>& progressValues, const TSheetLayout& layout);

}  // namespace tovrin
