#include "package/ss_file_locations.h"

#include "core/conversions.h"
#include "core/errors.h"
#include "package/comma_text.h"
#include "package/ident_maps.h"

namespace tovrin {

namespace {

using S = TSSFileLocations;

// A comma-list property: its text is the comma text of the list, through the object's own
// getter and setter of that text.
TPropInfo CommaListProperty(std::string_view name, std::string (S::*get)() const,
                            void (S::*set)(const std::string&)) {
  return TPropInfo{name, TPropKind::pkString, nullptr,
                   [get](TPersistent& o) -> TPropValue { return (static_cast<S&>(o).*get)(); },
                   [set](TPersistent& o, const TPropValue& v) {
                     (static_cast<S&>(o).*set)(std::get<std::string>(v));
                   }};
}

const std::string& EntryAt(const TStringList& list, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= list.size()) {
    throw EListError("Index is out of bounds");
  }
  return list[static_cast<size_t>(i)];
}

int32_t NumberAt(const TCommaList& list, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= list.size()) {
    throw EListError("Index is out of bounds");
  }
  return StrToNumber(list.At(static_cast<size_t>(i)));
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
          CommaListProperty("EffectCommaList", &S::EffectCommaList, &S::SetEffectCommaList),
          CommaListProperty("PicCommaList", &S::PicCommaList, &S::SetPicCommaList),
          CommaListProperty("PicFileNamesCommaList", &S::PicFileNamesCommaList,
                            &S::SetPicFileNamesCommaList),
          CommaListProperty("SndCommaList", &S::SndCommaList, &S::SetSndCommaList),
          CommaListProperty("SndFileNamesCommaList", &S::SndFileNamesCommaList,
                            &S::SetSndFileNamesCommaList),
          CommaListProperty("SndSizesCommaList", &S::SndSizesCommaList, &S::SetSndSizesCommaList),
          CommaListProperty("FlashCommaList", &S::FlashCommaList, &S::SetFlashCommaList),
          CommaListProperty("FlashFileNamesCommaList", &S::FlashFileNamesCommaList,
                            &S::SetFlashFileNamesCommaList),
          CommaListProperty("FlashSizesCommaList", &S::FlashSizesCommaList,
                            &S::SetFlashSizesCommaList),
          CommaListProperty("DescriptCommaList", &S::DescriptCommaList, &S::SetDescriptCommaList),
          MakeProperty("lShuffle", TPropKind::pkEnumeration, &BooleanTypeInfo(), &S::lShuffle,
                       &S::SetlShuffle),
          MakeProperty("PicFill", TPropKind::pkInteger, nullptr, &S::PicFill, &S::SetPicFill),
          MakeProperty("lPicCaptions", TPropKind::pkEnumeration, &BooleanTypeInfo(),
                       &S::lPicCaptions, &S::SetlPicCaptions),
          MakeProperty("lMotion", TPropKind::pkEnumeration, &BooleanTypeInfo(), &S::lMotion,
                       &S::SetlMotion),
      }};
  return info;
}

std::string S::EffectCommaList() const {
  return FEffects.CommaText();
}
void S::SetEffectCommaList(const std::string& t) {
  FEffects.SetCommaText(t);
}
std::string S::PicCommaList() const {
  return FPics.CommaText();
}
void S::SetPicCommaList(const std::string& t) {
  FPics.SetCommaText(t);
}
std::string S::PicFileNamesCommaList() const {
  return FPicFileNames.CommaText();
}
void S::SetPicFileNamesCommaList(const std::string& t) {
  FPicFileNames.SetCommaText(t);
}
std::string S::SndCommaList() const {
  return FSnds.CommaText();
}
void S::SetSndCommaList(const std::string& t) {
  FSnds.SetCommaText(t);
}
std::string S::SndFileNamesCommaList() const {
  return FSndFileNames.CommaText();
}
void S::SetSndFileNamesCommaList(const std::string& t) {
  FSndFileNames.SetCommaText(t);
}
std::string S::SndSizesCommaList() const {
  return FSndSizes.CommaText();
}
void S::SetSndSizesCommaList(const std::string& t) {
  FSndSizes.SetCommaText(t);
}
std::string S::FlashCommaList() const {
  return FFlashes.CommaText();
}
void S::SetFlashCommaList(const std::string& t) {
  FFlashes.SetCommaText(t);
}
std::string S::FlashFileNamesCommaList() const {
  return FFlashFileNames.CommaText();
}
void S::SetFlashFileNamesCommaList(const std::string& t) {
  FFlashFileNames.SetCommaText(t);
}
std::string S::FlashSizesCommaList() const {
  return FFlashSizes.CommaText();
}
void S::SetFlashSizesCommaList(const std::string& t) {
  FFlashSizes.SetCommaText(t);
}
std::string S::DescriptCommaList() const {
  return FDescripts.CommaText();
}
void S::SetDescriptCommaList(const std::string& t) {
  FDescripts.SetCommaText(t);
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
  return EntryAt(FSndFileNames.Items(), i);
}
int32_t S::SndSizeAt(int32_t i) const {
  return NumberAt(FSndSizes, i);
}
int32_t S::FlashOffsetAt(int32_t i) const {
  return NumberAt(FFlashes, i);
}
const std::string& S::FlashFileNameAt(int32_t i) const {
  return EntryAt(FFlashFileNames.Items(), i);
}
int32_t S::FlashSizeAt(int32_t i) const {
  return NumberAt(FFlashSizes, i);
}
std::string S::DescriptAt(int32_t i) const {
  if (i < 0 || static_cast<size_t>(i) >= FDescripts.size()) return {};
  return std::string(FDescripts.At(static_cast<size_t>(i)));
}

}  // namespace tovrin
