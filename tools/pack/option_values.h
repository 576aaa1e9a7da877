// Parsing of the values that options and the settings file give, with messages that say which
// option or key was wrong. Every parser raises EConvertError on a value it cannot take.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "value_parsers.h"

namespace tovrin {

// How tovrin-pack words a value it refuses: --quality: "101" is not a whole number from 1 to 100.
// Whole numbers and sizes are read with ParseRangedInteger and ParseSizeValue in this wording.
inline constexpr TValueWording PackWording = TValueWording::vwIsNot;

// Screen resolution the font size in points is converted for.
inline constexpr int32_t PackPixelsPerInch = 96;

// "1", "true", "yes", "on" and "0", "false", "no", "off" (ASCII case ignored).
bool ParseBoolean(std::string_view what, std::string_view text);

// A colour as the font stores it (00BBGGRR, a system colour or a special value):
//   a colour name of the font's identifier map ("clRed", "clWindowText"; case ignored),
//   "#RRGGBB" (web order, converted),
//   "0xBBGGRR" (the stored value in hexadecimal, up to 8 digits), or a decimal number.
int32_t ParseColor(std::string_view what, std::string_view text);

// A character set name ("ANSI_CHARSET", ...) or its number 0 to 255.
int32_t ParseCharset(std::string_view what, std::string_view text);

// Font styles, comma separated: bold, italic, underline, strikeout (or fsBold, ...); empty: none.
uint8_t ParseFontStyles(std::string_view what, std::string_view text);

// Font pitch: default, variable, fixed (or fpDefault, ...). Returns the ordinal.
uint8_t ParseFontPitch(std::string_view what, std::string_view text);

// The font height for a size in points (1 to 1000): -MulDiv(points, 96, 72).
int32_t FontHeightForPoints(int32_t points);

// What fills the screen around a picture: "black" or "blur" (ASCII case ignored), or the stored
// number 0 or 1. Returns the stored number (TPicFill).
int32_t ParsePicFill(std::string_view what, std::string_view text);

// Transition style numbers 0 to 127, separated by commas and/or spaces ("5,9,12"); empty: none.
std::vector<int32_t> ParseEffects(std::string_view what, std::string_view text);

}  // namespace tovrin
