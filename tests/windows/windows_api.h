// <windows.h> for the Windows test programs, without the macros that would rewrite our own names
// (the back end's wrapper holds the list: RGB and Get?Value, VK_SHIFT, VK_ESCAPE, VK_SPACE,
// MessageBox, PostMessage, TextOut, RGN_AND .. RGN_COPY). The GDI calls here pass numeric values
// where a macro is gone; they are the same on both sides.
#pragma once

#include "platform/win32/win32_api.h"
