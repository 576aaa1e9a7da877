// <windows.h> for the Win32 back end, the one folder that may include it, without the macros
// that would rewrite the engine's own names: wingdi.h's RGB and Get?Value (functions of
// gfx/color.h), winuser.h's VK_SHIFT, VK_ESCAPE and VK_SPACE (constants of form_window.h), and
// the A/W switches MessageBox, PostMessage and TextOut (methods of the platform interfaces).
// Code here calls the ANSI functions by their full names (MessageBoxA, TextOutA).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#undef RGB
#undef GetRValue
#undef GetGValue
#undef GetBValue
#undef VK_SHIFT
#undef VK_ESCAPE
#undef VK_SPACE
#undef MessageBox
#undef PostMessage
#undef TextOut
#undef RGN_AND
#undef RGN_OR
#undef RGN_XOR
#undef RGN_DIFF
#undef RGN_COPY
