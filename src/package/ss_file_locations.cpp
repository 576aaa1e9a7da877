#include "package/ss_file_locations.h"

#include "core/conversions.h"
#include "core/errors.h"
#include "package/comma_text.h"
#include "package/ident_maps.h"

namespace tovrin {

namespace {

using S = TSSFileLocations;

// A comma-list property: its text is the comma text of the list the member points at.
TPropInfo CommaListProperty(std::string_view name, TStringList& (S::*list)()) {
  return TPropInfo{
      name, TPropKind::pkString, nullptr,
      [list](TPersistent& o) -> TPropValue { return CommaTextOf((static_cast<S&>(o).*list)()); },
      [list](TPersistent& o, const TPropValue& v) {
        (static_cast<S&>(o).*list)() = ParseCommaText(std::get<std::string>(v));
      }};
}

const std::string& EntryAt(const TStringList& list, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= list.size()) {
    throw EListError("Index is out of bounds");
  }
  return list[static_cast<size_t>(i)];
}

int32_t NumberAt(const TStringList& list, int32_t i) {
  return StrToNumber(EntryAt(list, i));
}

}  // namespace

const TClassInfo& TSSFileLocations::StaticClassInfo() {
  static const TClassInfo info{
      "TSSFileLocations",
      &TComponent::StaticClassInfo(),
      [] { return std::make_unique<TSSFileLocations>(); },
      {
          MakeProperty("Text", TPropKind::pkString, nullptr, &S::Text, &S::SetText),
          TPropInfo{"TextFont", TPropKind::pkObject, nullptr,
                    [](TPersistent& o) -> TPropValue {
                      return static_cast<TPersistent*>(&static_cast<S&>(o).TextFont());
                    },
                    [](TPersistent& o, const TPropValue& v) {
                      // The setter copies the given font; "no font" leaves the caption font.
                      auto* p = std::get<TPersistent*>(v);
                      if (p != nullptr && p->ClassInfo().InheritsFrom(TFont::StaticClassInfo())) {
                        static_cast<S&>(o).SetTextFont(static_cast<const TFont&>(*p));
                      }
                    }},
          MakeProperty("lRandomStyle", TPropKind::pkEnumeration, &BooleanTypeInfo(),
                       &S::lRandomStyle, &S::SetlRandomStyle),
          MakeProperty("lRandomPic", TPropKind::pkEnumeration, &BooleanTypeInfo(), &S::lRandomPic,
                       &S::SetlRandomPic),
          MakeProperty("lClearOldImage", TPropKind::pkEnumeration, &BooleanTypeInfo(),
                       &S::lClearOldImage, &S::SetlClearOldImage),
          MakeProperty("lStretch", TPropKind::pkEnumeration, &BooleanTypeInfo(), &S::lStretch,
                       &S::SetlStretch),
          MakeProperty("Interval", TPropKind::pkInteger, nullptr, &S::Interval, &S::SetInterval),
          MakeProperty("SoundRandom", TPropKind::pkInteger, nullptr, &S::SoundRandom,
                       &S::SetSoundRandom),
          MakeProperty("lSoundLoop", TPropKind::pkEnumeration, &BooleanTypeInfo(), &S::lSoundLoop,
                       &S::SetlSoundLoop),
          MakeProperty("lMute", TPropKind::pkEnumeration, &BooleanTypeInfo(), &S::lMute,
                       &S::SetlMute),
          MakeProperty("Title", TPropKind::pkString, nullptr, &S::Title, &S::SetTitle),
          MakeProperty("Author", TPropKind::pkString, nullptr, &S::Author, &S::SetAuthor),
          MakeProperty("Email", TPropKind::pkString, nullptr, &S::Email, &S::SetEmail),
          MakeProperty("Web", TPropKind::pkString, nullptr, &S::Web, &S::SetWeb),
          MakeProperty("Ver", TPropKind::pkString, nullptr, &S::Ver, &S::SetVer),
          CommaListProperty("EffectCommaList", &S::EffectList),
          CommaListProperty("PicCommaList", &S::PicList),
          CommaListProperty("PicFileNamesCommaList", &S::PicFileNameList),
          CommaListProperty("SndCommaList", &S::SndList),
          CommaListProperty("SndFileNamesCommaList", &S::SndFileNameList),
          CommaListProperty("SndSizesCommaList", &S::SndSizeList),
          CommaListProperty("FlashCommaList", &S::FlashList),
          CommaListProperty("FlashFileNamesCommaList", &S::FlashFileNameList),
          CommaListProperty("FlashSizesCommaList", &S::FlashSizeList),
          CommaListProperty("DescriptCommaList", &S::DescriptList),
      }};
  return info;
}

std::string S::EffectCommaList() const {
  return CommaTextOf(FEffects);
}
void S::SetEffectCommaList(const std::string& t) {
  FEffects = ParseCommaText(t);
}
std::string S::PicCommaList() const {
  return CommaTextOf(FPics);
}
void S::SetPicCommaList(const std::string& t) {
  FPics = ParseCommaText(t);
}
std::string S::PicFileNamesCommaList() const {
  return CommaTextOf(FPicFileNames);
}
void S::SetPicFileNamesCommaList(const std::string& t) {
  FPicFileNames = ParseCommaText(t);
}
std::string S::SndCommaList() const {
  return CommaTextOf(FSnds);
}
void S::SetSndCommaList(const std::string& t) {
  FSnds = ParseCommaText(t);
}
std::string S::SndFileNamesCommaList() const {
  return CommaTextOf(FSndFileNames);
}
void S::SetSndFileNamesCommaList(const std::string& t) {
  FSndFileNames = ParseCommaText(t);
}
std::string S::SndSizesCommaList() const {
  return CommaTextOf(FSndSizes);
}
void S::SetSndSizesCommaList(const std::string& t) {
  FSndSizes = ParseCommaText(t);
}
std::string S::FlashCommaList() const {
  return CommaTextOf(FFlashes);
}
void S::SetFlashCommaList(const std::string& t) {
  FFlashes = ParseCommaText(t);
}
std::string S::FlashFileNamesCommaList() const {
  return CommaTextOf(FFlashFileNames);
}
void S::SetFlashFileNamesCommaList(const std::string& t) {
  FFlashFileNames = ParseCommaText(t);
}
std::string S::FlashSizesCommaList() const {
  return CommaTextOf(FFlashSizes);
}
void S::SetFlashSizesCommaList(const std::string& t) {
  FFlashSizes = ParseCommaText(t);
}
std::string S::DescriptCommaList() const {
  return CommaTextOf(FDescripts);
}
void S::SetDescriptCommaList(const std::string& t) {
  FDescripts = ParseCommaText(t);
}

int32_t S::EffectAt(int32_t i) const {
  return NumberAt(FEffects, i);
}
int32_t S::PicOffsetAt(int32_t i) const {
  return NumberAt(FPics, i);
}
int32_t S::SndOffsetAt(int32_t i) const {
  return NumberAt(FSnds, i);
}
const std::string& S::SndFileNameAt(int32_t i) const {
  return EntryAt(FSndFileNames, i);
}
int32_t S::SndSizeAt(int32_t i) const {
  return NumberAt(FSndSizes, i);
}
int32_t S::FlashOffsetAt(int32_t i) const {
  return NumberAt(FFlashes, i);
}
const std::string& S::FlashFileNameAt(int32_t i) const {
  return EntryAt(FFlashFileNames, i);
}
int32_t S::FlashSizeAt(int32_t i) const {
  return NumberAt(FFlashSizes, i);
}

}  // namespace tovrin
