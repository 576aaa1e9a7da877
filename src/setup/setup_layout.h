// The setup dialog's layout in pixels at 96 dots per inch; a view scales it to the screen.
//
//   +--------------------------------+  0
//   | info area        Title:...     |
//   |                  Author:...    |
//   |                  [ ] Mute music|
//   |                  Email / Web   |
//   +--------------------------------+  145
//   | button bar               [ OK ]|
//   +--------------------------------+  195
//   0                               305
//
// Every position is in client coordinates, the OK button's included (the button bar's top plus
// 15). Labels have no size of their own: they size themselves to their text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/color.h"
#include "platform/setup_dialog.h"

namespace tovrin {

inline constexpr size_t SetupItemCount = 6;

inline constexpr int32_t SetupClientWidth = 305;
inline constexpr int32_t SetupClientHeight = 195;
// The info area is aligned to the top; the button bar fills the 50 pixels below it.
inline constexpr int32_t SetupInfoAreaHeight = 145;
inline constexpr TColor SetupBackgroundColor = RGB(255, 247, 231);

// One row per item, in the order of TSetupItem (the tab order starts at the check box).
inline constexpr std::array<TSetupItemLayout, SetupItemCount> SetupLayout{{
    {TSetupItem::siTitle, 29, 23, 0, 0},
    {TSetupItem::siAuthor, 29, 44, 0, 0},
    {TSetupItem::siMute, 29, 71, 84, 15},
    {TSetupItem::siEmail, 29, 106, 0, 0},
    {TSetupItem::siWeb, 29, 127, 0, 0},
    {TSetupItem::siOK, 214, SetupInfoAreaHeight + 15, 75, 25},
}};

static_assert(static_cast<size_t>(TSetupItem::siOK) + 1 == SetupItemCount);

}  // namespace tovrin
