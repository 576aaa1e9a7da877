// Brute-force pixel masks for checking regions: a boolean grid over a fixed window, filled and
// compared pixel by pixel, and the canonical box list of a mask computed the simplest way.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/rect.h"
#include "gfx/region.h"

namespace tovrin::testing {

class TMask {
 public:
  explicit TMask(const TRect& window)
      : FWindow(window),
        FBits(static_cast<size_t>(window.Width()) * static_cast<size_t>(window.Height()), 0) {}

  // The pixels of region's boxes; boxes reaching outside the window are a test error.
  static TMask FromRegion(const TRegion& region, const TRect& window) {
    TMask m(window);
    bool inside = true;
    for (const TRect& r : region.Rects()) {
      inside = inside && r.Left >= window.Left && r.Right <= window.Right && r.Top >= window.Top &&
               r.Bottom <= window.Bottom;
      for (int32_t y = std::max(r.Top, window.Top); y < std::min(r.Bottom, window.Bottom); ++y) {
        for (int32_t x = std::max(r.Left, window.Left); x < std::min(r.Right, window.Right); ++x) {
          m.Set(x, y, true);
        }
      }
    }
    EXPECT_TRUE(inside) << "a box reaches outside the test window";
    return m;
  }

  // Every pixel of the window for which inside(x, y) holds.
  static TMask FromPredicate(const TRect& window, const std::function<bool(int32_t, int32_t)>& in) {
    TMask m(window);
    for (int32_t y = window.Top; y < window.Bottom; ++y) {
      for (int32_t x = window.Left; x < window.Right; ++x) m.Set(x, y, in(x, y));
    }
    return m;
  }

  // The pixel-wise combination of two masks over the same window.
  static TMask Combine(const TMask& a, const TMask& b, TCombineMode mode) {
    TMask m(a.FWindow);
    for (size_t i = 0; i < m.FBits.size(); ++i) {
      const bool p = a.FBits[i] != 0;
      const bool q = b.FBits[i] != 0;
      switch (mode) {
        case TCombineMode::RGN_AND:
          m.FBits[i] = p && q;
          break;
        case TCombineMode::RGN_OR:
          m.FBits[i] = p || q;
          break;
        case TCombineMode::RGN_XOR:
          m.FBits[i] = p != q;
          break;
        case TCombineMode::RGN_DIFF:
          m.FBits[i] = p && !q;
          break;
        case TCombineMode::RGN_COPY:
          m.FBits[i] = p;
          break;
      }
    }
    return m;
  }

  bool Get(int32_t x, int32_t y) const { return FBits[Index(x, y)] != 0; }
  void Set(int32_t x, int32_t y, bool v) { FBits[Index(x, y)] = v ? 1 : 0; }
  const TRect& Window() const { return FWindow; }
  bool operator==(const TMask& o) const { return FWindow == o.FWindow && FBits == o.FBits; }

  // The canonical box list of the mask: each row cut into maximal runs, and a row whose runs
  // equal those of the row above joined to it.
  std::vector<TRect> CanonicalRects() const {
    std::vector<TRect> out;
    size_t prevStart = 0;
    size_t prevEnd = 0;  // [prevStart, prevEnd) is the last band written, empty if none
    for (int32_t y = FWindow.Top; y < FWindow.Bottom; ++y) {
      std::vector<TRect> row;
      for (int32_t x = FWindow.Left; x < FWindow.Right;) {
        if (!Get(x, y)) {
          ++x;
          continue;
        }
        int32_t end = x;
        while (end < FWindow.Right && Get(end, y)) ++end;
        row.push_back(TRect{x, y, end, y + 1});
        x = end;
      }
      bool same =
          prevEnd > prevStart && out[prevStart].Bottom == y && prevEnd - prevStart == row.size();
      for (size_t i = 0; same && i < row.size(); ++i) {
        same = out[prevStart + i].Left == row[i].Left && out[prevStart + i].Right == row[i].Right;
      }
      if (same) {
        for (size_t i = prevStart; i < prevEnd; ++i) out[i].Bottom = y + 1;
      } else if (!row.empty()) {
        prevStart = out.size();
        out.insert(out.end(), row.begin(), row.end());
        prevEnd = out.size();
      }
    }
    return out;
  }

  // The first pixel where two masks differ, as text, or "" when they are equal.
  std::string FirstDifference(const TMask& o) const {
    for (int32_t y = FWindow.Top; y < FWindow.Bottom; ++y) {
      for (int32_t x = FWindow.Left; x < FWindow.Right; ++x) {
        if (Get(x, y) != o.Get(x, y)) {
          std::ostringstream s;
          s << "pixel (" << x << "," << y << "): expected " << o.Get(x, y) << ", got " << Get(x, y);
          return s.str();
        }
      }
    }
    return "";
  }

 private:
  size_t Index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y - FWindow.Top) * static_cast<size_t>(FWindow.Width()) +
           static_cast<size_t>(x - FWindow.Left);
  }

  TRect FWindow;
  std::vector<uint8_t> FBits;  // one byte a pixel: plain and fast to index
};

inline std::string RectsText(const std::vector<TRect>& rects) {
  std::ostringstream s;
  for (const TRect& r : rects) {
    s << "(" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ")";
  }
  return s.str();
}

// The region covers exactly the mask's pixels, with the mask's canonical box list.
inline void ExpectRegionIs(const TRegion& region, const TMask& expected, const std::string& what) {
  EXPECT_TRUE(region.IsValid()) << what << ": " << RectsText(region.Rects());
  const TMask got = TMask::FromRegion(region, expected.Window());
  EXPECT_EQ(got.FirstDifference(expected), "") << what;
  EXPECT_EQ(RectsText(region.Rects()), RectsText(expected.CanonicalRects())) << what;
}

}  // namespace tovrin::testing
