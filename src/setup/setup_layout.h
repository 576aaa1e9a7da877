// The setup dialog's layout in pixels at 96 dots per inch; a view scales it to the screen.
//
//   +-------------------------------------------+  0
//   | info area   Title:...                     |  23
//   |             Author:...                    |  44
//   |             [ ] Mute music                |  71
//   |             [x] Pictures on every monitor |  92
//   |             Email:...                     |  127
//   |             Web address:...               |  148
//   +-------------------------------------------+  166
//   | button bar                         [ OK ] |  181
//   +-------------------------------------------+  216
//   0                                          305
//
// Every position is in client coordinates, the OK button's included (the button bar's top plus
// 15). Labels have no size of their own: they size themselves to their text.
#pragma once

#include <array>
#include <cstdint>

#include "gfx/color.h"
#include "platform/setup_dialog.h"

namespace tovrin {

inline constexpr int32_t SetupClientWidth = 305;
inline constexpr int32_t SetupClientHeight = 216;
// The info area is aligned to the top; the button bar fills the 50 pixels below it.
inline constexpr int32_t SetupInfoAreaHeight = 166;
inline constexpr TColor SetupBackgroundColor = RGB(255, 247, 231);

// One row per item, in the order of TSetupItem (the tab order starts at the first check box).
// The check boxes stand 21 pixels apart, as the title and author lines do; the links keep their
// distance below the last box.
inline constexpr std::array<TSetupItemLayout, SetupItemCount> SetupLayout{{
    {TSetupItem::siTitle, 29, 23, 0, 0},
    {TSetupItem::siAuthor, 29, 44, 0, 0},
    {TSetupItem::siMute, 29, 71, 84, 15},
    {TSetupItem::siEveryMonitor, 29, 92, 180, 15},
    {TSetupItem::siEmail, 29, 127, 0, 0},
    {TSetupItem::siWeb, 29, 148, 0, 0},
    {TSetupItem::siOK, 214, SetupInfoAreaHeight + 15, 75, 25},
}};

}  // namespace tovrin
