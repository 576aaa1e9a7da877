// Text and number conversions shared by every layer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

// Removes spaces and control characters (every byte up to 0x20) from both ends.
std::string Trim(std::string_view text);

// Upper-cases the ASCII letters a to z; every other byte is kept.
std::string UpperCase(std::string_view text);

// Compares without regard to ASCII letter case.
bool SameText(std::string_view a, std::string_view b);

// Reads an optionally signed decimal integer that must fill the whole text and fit in 32 bits.
std::optional<int32_t> TryStrToInt(std::string_view text);

// Lenient conversion for numbers stored as text: trims, then reads a decimal integer; text that is
// not a number, or does not fit in 32 bits, gives 0.
int32_t StrToNumber(std::string_view text);

// Strict conversion: trims, then reads a decimal integer; raises EConvertError
// ("'%s' is not a valid integer value") otherwise.
int32_t StrToInt(std::string_view text);

// Decimal text of a number.
std::string IntToStr(int64_t value);

}  // namespace tovrin
