// TSSFileLocations: the show settings object of a package.
//
// Published properties, in the order the writer stores them: Text, TextFont, lRandomStyle,
// lRandomPic, lClearOldImage, lStretch, Interval, SoundRandom, lSoundLoop, lMute, Title, Author,
// Email, Web, Ver, then the ten comma lists EffectCommaList, PicCommaList, PicFileNamesCommaList,
// SndCommaList, SndFileNamesCommaList, SndSizesCommaList, FlashCommaList,
// FlashFileNamesCommaList, FlashSizesCommaList, DescriptCommaList. (Name and Tag come from the
// component base.)
//
// Then the show choices that came later, each stored only when it differs from its default so
// that a package made without them is written exactly as before: lShuffle, PicFill,
// lPicCaptions, lMotion.
//
// Each comma-list property converts between its list and the comma text (comma_text.h). The
// lists are kept packed as read (TCommaList), so that a package of millions of entries costs
// memory in proportion to its bytes; the counts and the offsets, sizes and effects are read from
// the packed form, and a list becomes a vector of strings only when asked for as one (the list
// accessors, and the media file names). The indexed accessors fail with EListError "Index is out
// of bounds" outside their own list; numbers that are not numbers read as 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/comma_text.h"
#include "package/font.h"
#include "package/persistent.h"

namespace tovrin {

using TStringList = std::vector<std::string>;

// The PicFill values: black, or an enlarged, blurred and darkened copy of the picture itself.
enum TPicFill : int32_t { pfBlack = 0, pfBlur = 1 };

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
  // True: every picture once per round, in a fresh random order each round (lRandomPic then
  // plays no part).
  bool lShuffle() const { return FShuffle; }
  void SetlShuffle(bool v) { FShuffle = v; }
  // What shows around a picture that does not cover the screen (TPicFill values; others read as
  // pfBlack).
  int32_t PicFill() const { return FPicFill; }
  void SetPicFill(int32_t v) { FPicFill = v; }
  // True: every picture carries its own caption, entry i of DescriptCommaList for picture i, in
  // the caption font; Text is then not drawn.
  bool lPicCaptions() const { return FPicCaptions; }
  void SetlPicCaptions(bool v) { FPicCaptions = v; }
  // True: each picture fills the screen and moves slowly (pans or zooms) while it is held.
  bool lMotion() const { return FMotion; }
  void SetlMotion(bool v) { FMotion = v; }

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
  TStringList& EffectList() { return FEffects.Items(); }
  const TStringList& EffectList() const { return FEffects.Items(); }
  TStringList& PicList() { return FPics.Items(); }
  const TStringList& PicList() const { return FPics.Items(); }
  TStringList& PicFileNameList() { return FPicFileNames.Items(); }
  const TStringList& PicFileNameList() const { return FPicFileNames.Items(); }
  TStringList& SndList() { return FSnds.Items(); }
  const TStringList& SndList() const { return FSnds.Items(); }
  TStringList& SndFileNameList() { return FSndFileNames.Items(); }
  const TStringList& SndFileNameList() const { return FSndFileNames.Items(); }
  TStringList& SndSizeList() { return FSndSizes.Items(); }
  const TStringList& SndSizeList() const { return FSndSizes.Items(); }
  TStringList& FlashList() { return FFlashes.Items(); }
  const TStringList& FlashList() const { return FFlashes.Items(); }
  TStringList& FlashFileNameList() { return FFlashFileNames.Items(); }
  const TStringList& FlashFileNameList() const { return FFlashFileNames.Items(); }
  TStringList& FlashSizeList() { return FFlashSizes.Items(); }
  const TStringList& FlashSizeList() const { return FFlashSizes.Items(); }
  TStringList& DescriptList() { return FDescripts.Items(); }
  const TStringList& DescriptList() const { return FDescripts.Items(); }

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
  // Entry i of DescriptCommaList, or empty when the list has no entry i.
  std::string DescriptAt(int32_t i) const;

 private:
  static int32_t Count(const TCommaList& list) { return static_cast<int32_t>(list.size()); }

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
  bool FShuffle = false;
  int32_t FPicFill = pfBlack;
  bool FPicCaptions = false;
  bool FMotion = false;
  TCommaList FEffects;
  TCommaList FPics;
  TCommaList FPicFileNames;
  TCommaList FSnds;
  TCommaList FSndFileNames;
  TCommaList FSndSizes;
  TCommaList FFlashes;
  TCommaList FFlashFileNames;
  TCommaList FFlashSizes;
  TCommaList FDescripts;
};

}  // namespace tovrin
