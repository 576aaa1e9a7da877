// TFont: the caption font of the show settings, streamed as sub-properties of TextFont.
#pragma once

#include <cstdint>
#include <string>

#include "package/ident_maps.h"
#include "package/persistent.h"

namespace tovrin {

enum TFontStyle : uint8_t { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };
// A set of TFontStyle: bit n is style n.
using TFontStyles = uint8_t;
inline constexpr TFontStyles FontStyleBit(TFontStyle s) {
  return static_cast<TFontStyles>(1u << s);
}

enum class TFontPitch : uint8_t { fpDefault = 0, fpVariable = 1, fpFixed = 2 };

class TFont : public TPersistent {
 public:
  static constexpr const char* DefaultName = "MS Sans Serif";
  static constexpr int32_t DefaultSize = 8;            // points
  static constexpr int32_t DefaultPixelsPerInch = 96;  // the screen the defaults are for
  static constexpr int32_t DefaultHeight = -11;        // -MulDiv(8, 96, 72)

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  bool IsSubComponent() const override { return true; }

  // The face name.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& name) { FName = name; }
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t height) { FHeight = height; }
  int32_t Color() const { return FColor; }
  void SetColor(int32_t color) { FColor = color; }
  int32_t Charset() const { return FCharset; }
  // A character set is one byte; larger values keep their low byte.
  void SetCharset(int32_t charset) { FCharset = charset & 0xFF; }
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style) { FStyle = style & 0x0F; }
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch pitch) { FPitch = pitch; }

  // The size in points on a screen of the given pixels per inch: -Height * 72 / ppi, rounded.
  int32_t Size(int32_t pixelsPerInch = DefaultPixelsPerInch) const;
  // Sets Height to -(points * ppi / 72), rounded.
  void SetSize(int32_t points, int32_t pixelsPerInch = DefaultPixelsPerInch);
  // The published Size property works at the default resolution.
  int32_t SizeAtDefaultPpi() const { return Size(); }
  void SetSizeAtDefaultPpi(int32_t points) { SetSize(points); }

  void Assign(const TFont& source);
  friend bool operator==(const TFont& a, const TFont& b);

 private:
  std::string FName = DefaultName;
  int32_t FHeight = DefaultHeight;
  int32_t FColor = clWindowTextValue;
  int32_t FCharset = DEFAULT_CHARSET_VALUE;
  TFontStyles FStyle = 0;
  TFontPitch FPitch = TFontPitch::fpDefault;
};

}  // namespace tovrin
