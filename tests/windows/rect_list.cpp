#include "rect_list.h"

#include <algorithm>

#include "gdi_objects.h"

namespace tovrin::gdi {

TRowSpans RowSpans(const std::vector<TRect>& rects) {
  TRowSpans rows;
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    for (int32_t y = r.Top; y < r.Bottom; ++y) rows[y].emplace_back(r.Left, r.Right);
  }
  for (auto& [y, spans] : rows) {
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int32_t, int32_t>> merged;
    for (const auto& s : spans) {
      if (!merged.empty() && s.first <= merged.back().second) {
        merged.back().second = std::max(merged.back().second, s.second);
      } else {
        merged.push_back(s);
      }
    }
    spans = std::move(merged);
  }
  return rows;
}

namespace {

std::string SpansText(const TRowSpans& rows, int32_t y) {
  const auto it = rows.find(y);
  if (it == rows.end()) return "nothing";
  std::string s;
  for (const auto& [from, to] : it->second) {
    s += "[" + std::to_string(from) + "," + std::to_string(to) + ") ";
  }
  return s;
}

}  // namespace

std::string FirstRowDifference(const std::vector<TRect>& ours, const std::vector<TRect>& theirs) {
  const TRowSpans a = RowSpans(ours), b = RowSpans(theirs);
  auto ia = a.begin(), ib = b.begin();
  while (ia != a.end() || ib != b.end()) {
    int32_t y;
    if (ib == b.end() || (ia != a.end() && ia->first < ib->first)) {
      y = ia->first;
    } else if (ia == a.end() || ib->first < ia->first) {
      y = ib->first;
    } else if (ia->second != ib->second) {
      y = ia->first;
    } else {
      ++ia;
      ++ib;
      continue;
    }
    return "row " + std::to_string(y) + ": ours " + SpansText(a, y) + "; GDI " + SpansText(b, y);
  }
  return {};
}

TRect PixelBound(const std::vector<TRect>& rects) {
  TRect bound;
  bool any = false;
  for (const TRect& r : rects) {
    if (r.IsEmpty()) continue;
    if (!any) {
      bound = r;
      any = true;
      continue;
    }
    bound = TRect{std::min(bound.Left, r.Left), std::min(bound.Top, r.Top),
                  std::max(bound.Right, r.Right), std::max(bound.Bottom, r.Bottom)};
  }
  return bound;
}

bool IsCanonical(const std::vector<TRect>& rects, std::string& why) {
  size_t bandStart = 0;
  for (size_t i = 0; i < rects.size(); ++i) {
    const TRect& r = rects[i];
    if (r.IsEmpty()) {
      why = "empty box " + FormatRect(r);
      return false;
    }
    if (i == 0) continue;
    const TRect& p = rects[i - 1];
    if (p.Top == r.Top) {
      if (p.Bottom != r.Bottom || p.Right >= r.Left) {
        why = "boxes " + FormatRect(p) + " " + FormatRect(r) + " overlap, touch or are unsorted";
        return false;
      }
      continue;
    }
    if (r.Top < p.Bottom) {
      why = "band at y=" + std::to_string(r.Top) + " overlaps the one above";
      return false;
    }
    // A new band begins at i; compare the band that ended with the one before it.
    const size_t prevStart = bandStart;
    bandStart = i;
    size_t end = i;
    while (end < rects.size() && rects[end].Top == r.Top) ++end;
    if (rects[prevStart].Bottom == r.Top && end - i == i - prevStart &&
        std::equal(rects.begin() + static_cast<std::ptrdiff_t>(prevStart),
                   rects.begin() + static_cast<std::ptrdiff_t>(i),
                   rects.begin() + static_cast<std::ptrdiff_t>(i),
                   [](const TRect& a, const TRect& b) {
                     return a.Left == b.Left && a.Right == b.Right;
                   })) {
      why = "bands at y=" + std::to_string(rects[prevStart].Top) +
            " and y=" + std::to_string(r.Top) + " have the same spans and touch";
      return false;
    }
  }
  return true;
}

}  // namespace tovrin::gdi
