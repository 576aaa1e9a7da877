// Rectangle lists as pixel sets, independent of how a region implementation cuts them: the
// comparison tests use this to tell "other pixels" apart from "the same pixels, cut otherwise".
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gfx/rect.h"

namespace tovrin::gdi {

// For every row that holds a pixel, the sorted, merged x-intervals [from, to) of that row.
using TRowSpans = std::map<int32_t, std::vector<std::pair<int32_t, int32_t>>>;
TRowSpans RowSpans(const std::vector<TRect>& rects);

// Empty when both lists cover the same pixels, else the first row that differs with the spans
// of each side.
std::string FirstRowDifference(const std::vector<TRect>& ours, const std::vector<TRect>& theirs);

// The bounding box of the pixels of the list (empty boxes do not count); (0,0,0,0) when none.
TRect PixelBound(const std::vector<TRect>& rects);

// True when the list is in the canonical banded form (sorted bands, boxes in a band neither
// touching nor overlapping, no two touching bands with the same spans); else `why` says where
// it is not.
bool IsCanonical(const std::vector<TRect>& rects, std::string& why);

}  // namespace tovrin::gdi
