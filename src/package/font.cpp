#include "package/font.h"

namespace tovrin {

const TClassInfo& TFont::StaticClassInfo() {
  static const TClassInfo info{
      "TFont",
      nullptr,
      nullptr,
      {
          MakeProperty("Charset", TPropKind::pkInteger, &CharsetTypeInfo(), &TFont::Charset,
                       &TFont::SetCharset),
          MakeProperty("Color", TPropKind::pkInteger, &ColorTypeInfo(), &TFont::Color,
                       &TFont::SetColor),
          MakeProperty("Height", TPropKind::pkInteger, nullptr, &TFont::Height, &TFont::SetHeight),
          MakeProperty("Name", TPropKind::pkString, nullptr, &TFont::Name, &TFont::SetName),
          MakeProperty("Pitch", TPropKind::pkEnumeration, &FontPitchTypeInfo(), &TFont::Pitch,
                       &TFont::SetPitch),
          MakeProperty("Size", TPropKind::pkInteger, nullptr, &TFont::SizeAtDefaultPpi,
                       &TFont::SetSizeAtDefaultPpi),
          MakeProperty("Style", TPropKind::pkSet, &FontStyleTypeInfo(), &TFont::Style,
                       &TFont::SetStyle),
      }};
  return info;
}

int32_t TFont::Size(int32_t pixelsPerInch) const {
  if (pixelsPerInch <= 0) return 0;
  // -Height * 72 / ppi, rounded to the nearest integer, halves away from zero.
  const int64_t num = -static_cast<int64_t>(FHeight) * 72;
  const int64_t half = pixelsPerInch / 2;
  const int64_t q = num >= 0 ? (num + half) / pixelsPerInch : -((-num + half) / pixelsPerInch);
  return static_cast<int32_t>(q);
}

void TFont::SetSize(int32_t points, int32_t pixelsPerInch) {
  const int64_t num = static_cast<int64_t>(points) * pixelsPerInch;
  const int64_t q = num >= 0 ? (num + 36) / 72 : -((-num + 36) / 72);
  FHeight = static_cast<int32_t>(-q);
}

void TFont::Assign(const TFont& source) {
  FName = source.FName;
  FHeight = source.FHeight;
  FColor = source.FColor;
  FCharset = source.FCharset;
  FStyle = source.FStyle;
  FPitch = source.FPitch;
}

bool operator==(const TFont& a, const TFont& b) {
  return a.FName == b.FName && a.FHeight == b.FHeight && a.FColor == b.FColor &&
         a.FCharset == b.FCharset && a.FStyle == b.FStyle && a.FPitch == b.FPitch;
}

}  // namespace tovrin
