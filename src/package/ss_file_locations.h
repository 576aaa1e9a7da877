// TSSFileLocations: the show settings object of a package.
//
// Published properties, in the order the writer stores them: Text, TextFont, lRandomStyle,
// lRandomPic, lClearOldImage, lStretch, Interval, SoundRandom, lSoundLoop, lMute, Title, Author,
// Email, Web, Ver, then the ten comma lists EffectCommaList, PicCommaList, PicFileNamesCommaList,
// SndCommaList, SndFileNamesCommaList, SndSizesCommaList, FlashCommaList,
// FlashFileNamesCommaList, FlashSizesCommaList, DescriptCommaList. (Name and Tag come from the
// component base.)
//
// Each comma-list property converts between its list and the comma text (comma_text.h). The
// indexed accessors fail with EListError "Index is out of bounds" outside their own list; numbers
// that are not numbers read as 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/font.h"
#include "package/persistent.h"

namespace tovrin {

using TStringList = std::vector<std::string>;

class TSSFileLocations : public TComponent {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  const std::string& Text() const { return FText; }
  void SetText(const std::string& v) { FText = v; }
  TFont& TextFont() { return FTextFont; }
  const TFont& TextFont() const { return FTextFont; }
  void SetTextFont(const TFont& font) { FTextFont.Assign(font); }
  bool lRandomStyle() const { return FRandomStyle; }
  void SetlRandomStyle(bool v) { FRandomStyle = v; }
  bool lRandomPic() const { return FRandomPic; }
  void SetlRandomPic(bool v) { FRandomPic = v; }
  bool lClearOldImage() const { return FClearOldImage; }
  void SetlClearOldImage(bool v) { FClearOldImage = v; }
  bool lStretch() const { return FStretch; }
  void SetlStretch(bool v) { FStretch = v; }
  int32_t Interval() const { return FInterval; }
  void SetInterval(int32_t v) { FInterval = v; }
  int32_t SoundRandom() const { return FSoundRandom; }
  void SetSoundRandom(int32_t v) { FSoundRandom = v; }
  bool lSoundLoop() const { return FSoundLoop; }
  void SetlSoundLoop(bool v) { FSoundLoop = v; }
  bool lMute() const { return FMute; }
  void SetlMute(bool v) { FMute = v; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& v) { FTitle = v; }
  const std::string& Author() const { return FAuthor; }
  void SetAuthor(const std::string& v) { FAuthor = v; }
  const std::string& Email() const { return FEmail; }
  void SetEmail(const std::string& v) { FEmail = v; }
  const std::string& Web() const { return FWeb; }
  void SetWeb(const std::string& v) { FWeb = v; }
  const std::string& Ver() const { return FVer; }
  void SetVer(const std::string& v) { FVer = v; }

  // Comma-text views of the lists.
  std::string EffectCommaList() const;
  void SetEffectCommaList(const std::string& text);
  std::string PicCommaList() const;
  void SetPicCommaList(const std::string& text);
  std::string PicFileNamesCommaList() const;
  void SetPicFileNamesCommaList(const std::string& text);
  std::string SndCommaList() const;
  void SetSndCommaList(const std::string& text);
  std::string SndFileNamesCommaList() const;
  void SetSndFileNamesCommaList(const std::string& text);
  std::string SndSizesCommaList() const;
  void SetSndSizesCommaList(const std::string& text);
  std::string FlashCommaList() const;
  void SetFlashCommaList(const std::string& text);
  std::string FlashFileNamesCommaList() const;
  void SetFlashFileNamesCommaList(const std::string& text);
  std::string FlashSizesCommaList() const;
  void SetFlashSizesCommaList(const std::string& text);
  std::string DescriptCommaList() const;
  void SetDescriptCommaList(const std::string& text);

  // The lists themselves.
  TStringList& EffectList() { return FEffects; }
  const TStringList& EffectList() const { return FEffects; }
  TStringList& PicList() { return FPics; }
  const TStringList& PicList() const { return FPics; }
  TStringList& PicFileNameList() { return FPicFileNames; }
  const TStringList& PicFileNameList() const { return FPicFileNames; }
  TStringList& SndList() { return FSnds; }
  const TStringList& SndList() const { return FSnds; }
  TStringList& SndFileNameList() { return FSndFileNames; }
  const TStringList& SndFileNameList() const { return FSndFileNames; }
  TStringList& SndSizeList() { return FSndSizes; }
  const TStringList& SndSizeList() const { return FSndSizes; }
  TStringList& FlashList() { return FFlashes; }
  const TStringList& FlashList() const { return FFlashes; }
  TStringList& FlashFileNameList() { return FFlashFileNames; }
  const TStringList& FlashFileNameList() const { return FFlashFileNames; }
  TStringList& FlashSizeList() { return FFlashSizes; }
  const TStringList& FlashSizeList() const { return FFlashSizes; }
  TStringList& DescriptList() { return FDescripts; }
  const TStringList& DescriptList() const { return FDescripts; }

  // Indexed accessors.
  int32_t EffectCount() const { return Count(FEffects); }
  int32_t EffectAt(int32_t i) const;
  int32_t PicCount() const { return Count(FPics); }
  int32_t PicOffsetAt(int32_t i) const;
  int32_t SndCount() const { return Count(FSnds); }
  int32_t SndOffsetAt(int32_t i) const;
  const std::string& SndFileNameAt(int32_t i) const;
  int32_t SndSizeAt(int32_t i) const;
  int32_t FlashCount() const { return Count(FFlashes); }
  int32_t FlashOffsetAt(int32_t i) const;
  const std::string& FlashFileNameAt(int32_t i) const;
  int32_t FlashSizeAt(int32_t i) const;

 private:
  static int32_t Count(const TStringList& list) { return static_cast<int32_t>(list.size()); }

  std::string FText;
  TFont FTextFont;
  bool FRandomPic = false;
  bool FRandomStyle = false;
  bool FClearOldImage = false;
  bool FStretch = false;
  int32_t FInterval = 0;
  int32_t FSoundRandom = 0;
  bool FSoundLoop = false;
  bool FMute = false;
  std::string FTitle;
  std::string FAuthor;
  std::string FEmail;
  std::string FWeb;
  std::string FVer;
  TStringList FEffects;
  TStringList FPics;
  TStringList FPicFileNames;
  TStringList FSnds;
  TStringList FSndFileNames;
  TStringList FSndSizes;
  TStringList FFlashes;
  TStringList FFlashFileNames;
  TStringList FFlashSizes;
  TStringList FDescripts;
};

}  // namespace tovrin
