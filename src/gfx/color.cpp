#include "gfx/color.h"

#include <array>

namespace tovrin {

TColor ColorToRGB(TColor color) {
  if (color >= 0) return color & 0xFFFFFF;
  // Classic Windows defaults of the system colours, by index (COLOR_SCROLLBAR = 0 ...).
  static constexpr std::array<TColor, 31> kSystem = {
      RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128),
      RGB(212, 208, 200), RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(0, 0, 0),       RGB(255, 255, 255), RGB(212, 208, 200), RGB(212, 208, 200),
      RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255), RGB(212, 208, 200),
      RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
      RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),
      RGB(255, 255, 225), RGB(0, 0, 0),       RGB(0, 0, 128),     RGB(166, 202, 240),
      RGB(192, 192, 192), RGB(49, 106, 197),  RGB(236, 233, 216)};
  const uint32_t index = static_cast<uint32_t>(color) & 0xFF;
  return index < kSystem.size() ? kSystem[index] : clBlack;
}

}  // namespace tovrin
