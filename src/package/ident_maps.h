// Identifier maps of integer properties and the font's enumeration and set types.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "package/persistent.h"

namespace tovrin {

// TColor as the font stores it: 00BBGGRR, or 80000000 hex + a system colour index, or the two
// special values.
inline constexpr int32_t clNoneValue = 0x1FFFFFFF;
inline constexpr int32_t clDefaultValue = 0x20000000;
inline constexpr int32_t clWindowTextValue = static_cast<int32_t>(0x80000008u);

inline constexpr int32_t DEFAULT_CHARSET_VALUE = 1;

// The 49 colour names (20 fixed, 2 special, 27 system colours).
const TTypeInfo& ColorTypeInfo();
// The 18 character-set names of Windows GDI.
const TTypeInfo& CharsetTypeInfo();
// The font style set: fsBold, fsItalic, fsUnderline, fsStrikeOut (bits 0 to 3).
const TTypeInfo& FontStyleTypeInfo();
// The font pitch: fpDefault, fpVariable, fpFixed.
const TTypeInfo& FontPitchTypeInfo();
// Boolean: False, True.
const TTypeInfo& BooleanTypeInfo();

// Looks a name up in a map (ASCII case ignored).
std::optional<int32_t> IdentToInt(const TTypeInfo& type, std::string_view name);
// The first name of a value in a map; empty when the value has no name.
std::string_view IntToIdent(const TTypeInfo& type, int32_t value);

}  // namespace tovrin
