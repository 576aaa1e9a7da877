// <windows.h> for the comparison tests, without the macros that would rewrite our own names:
// wingdi.h defines RGB, GetRValue, GetGValue, GetBValue (functions of gfx/color.h) and RGN_AND ..
// RGN_COPY (values of TCombineMode) as macros. The GDI calls here pass the numeric values, which
// are the same on both sides.
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
#undef RGN_AND
#undef RGN_OR
#undef RGN_XOR
#undef RGN_DIFF
#undef RGN_COPY
