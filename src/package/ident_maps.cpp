#include "package/ident_maps.h"

#include "core/conversions.h"

namespace tovrin {

namespace {

constexpr int32_t SysColor(int32_t index) {
  return static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index));
}

}  // namespace

const TTypeInfo& ColorTypeInfo() {
  static const TTypeInfo info{"TColor",
                              {
                                  {"clBlack", 0x000000},
                                  {"clMaroon", 0x000080},
                                  {"clGreen", 0x008000},
                                  {"clOlive", 0x008080},
                                  {"clNavy", 0x800000},
                                  {"clPurple", 0x800080},
                                  {"clTeal", 0x808000},
                                  {"clGray", 0x808080},
                                  {"clSilver", 0xC0C0C0},
                                  {"clRed", 0x0000FF},
                                  {"clLime", 0x00FF00},
                                  {"clYellow", 0x00FFFF},
                                  {"clBlue", 0xFF0000},
                                  {"clFuchsia", 0xFF00FF},
                                  {"clAqua", 0xFFFF00},
                                  {"clWhite", 0xFFFFFF},
                                  {"clMoneyGreen", 0xC0DCC0},
                                  {"clSkyBlue", 0xF0CAA6},
                                  {"clCream", 0xF0FBFF},
                                  {"clMedGray", 0xA4A0A0},
                                  {"clNone", clNoneValue},
                                  {"clDefault", clDefaultValue},
                                  {"clScrollBar", SysColor(0)},
                                  {"clBackground", SysColor(1)},
                                  {"clActiveCaption", SysColor(2)},
                                  {"clInactiveCaption", SysColor(3)},
                                  {"clMenu", SysColor(4)},
                                  {"clWindow", SysColor(5)},
                                  {"clWindowFrame", SysColor(6)},
                                  {"clMenuText", SysColor(7)},
                                  {"clWindowText", SysColor(8)},
                                  {"clCaptionText", SysColor(9)},
                                  {"clActiveBorder", SysColor(10)},
                                  {"clInactiveBorder", SysColor(11)},
                                  {"clAppWorkSpace", SysColor(12)},
                                  {"clHighlight", SysColor(13)},
                                  {"clHighlightText", SysColor(14)},
                                  {"clBtnFace", SysColor(15)},
                                  {"clBtnShadow", SysColor(16)},
                                  {"clGrayText", SysColor(17)},
                                  {"clBtnText", SysColor(18)},
                                  {"clInactiveCaptionText", SysColor(19)},
                                  {"clBtnHighlight", SysColor(20)},
                                  {"cl3DDkShadow", SysColor(21)},
                                  {"cl3DLight", SysColor(22)},
                                  {"clInfoText", SysColor(23)},
                                  {"clInfoBk", SysColor(24)},
                                  {"clGradientActiveCaption", SysColor(27)},
                                  {"clGradientInactiveCaption", SysColor(28)},
                              }};
  return info;
}

const TTypeInfo& CharsetTypeInfo() {
  static const TTypeInfo info{"TFontCharset",
                              {
                                  {"ANSI_CHARSET", 0},
                                  {"DEFAULT_CHARSET", 1},
                                  {"SYMBOL_CHARSET", 2},
                                  {"MAC_CHARSET", 77},
                                  {"SHIFTJIS_CHARSET", 128},
                                  {"HANGEUL_CHARSET", 129},
                                  {"JOHAB_CHARSET", 130},
                                  {"GB2312_CHARSET", 134},
                                  {"CHINESEBIG5_CHARSET", 136},
                                  {"GREEK_CHARSET", 161},
                                  {"TURKISH_CHARSET", 162},
                                  {"HEBREW_CHARSET", 177},
                                  {"ARABIC_CHARSET", 178},
                                  {"BALTIC_CHARSET", 186},
                                  {"RUSSIAN_CHARSET", 204},
                                  {"THAI_CHARSET", 222},
                                  {"EASTEUROPE_CHARSET", 238},
                                  {"OEM_CHARSET", 255},
                              }};
  return info;
}

const TTypeInfo& FontStyleTypeInfo() {
  static const TTypeInfo info{
      "TFontStyle", {{"fsBold", 0}, {"fsItalic", 1}, {"fsUnderline", 2}, {"fsStrikeOut", 3}}};
  return info;
}

const TTypeInfo& FontPitchTypeInfo() {
  static const TTypeInfo info{"TFontPitch", {{"fpDefault", 0}, {"fpVariable", 1}, {"fpFixed", 2}}};
  return info;
}

const TTypeInfo& BooleanTypeInfo() {
  static const TTypeInfo info{"Boolean", {{"False", 0}, {"True", 1}}};
  return info;
}

std::optional<int32_t> IdentToInt(const TTypeInfo& type, std::string_view name) {
  for (const TIdentEntry& e : type.Idents) {
    if (SameText(e.Name, name)) return e.Value;
  }
  return std::nullopt;
}

std::string_view IntToIdent(const TTypeInfo& type, int32_t value) {
  for (const TIdentEntry& e : type.Idents) {
    if (e.Value == value) return e.Name;
  }
  return {};
}

}  // namespace tovrin
