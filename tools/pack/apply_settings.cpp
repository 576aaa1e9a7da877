// TPackSettings::ApplyTo, kept apart from the parsing so that the parsers do not depend on the
// settings class.
#include <string>

#include "pack_settings.h"
#include "package/font.h"
#include "package/ss_file_locations.h"

namespace tovrin {

void TPackSettings::ApplyTo(TSSFileLocations& settings) const {
  if (Text) settings.SetText(*Text);
  TFont& font = settings.TextFont();
  if (FontName) font.SetName(*FontName);
  if (FontHeight) font.SetHeight(*FontHeight);
  if (FontColor) font.SetColor(*FontColor);
  if (FontCharset) font.SetCharset(*FontCharset);
  if (FontStyle) font.SetStyle(*FontStyle);
  if (FontPitch) font.SetPitch(static_cast<TFontPitch>(*FontPitch));
  if (RandomPic) settings.SetlRandomPic(*RandomPic);
  if (RandomStyle) settings.SetlRandomStyle(*RandomStyle);
  if (ClearOldImage) settings.SetlClearOldImage(*ClearOldImage);
  if (Stretch) settings.SetlStretch(*Stretch);
  settings.SetInterval(Interval.value_or(DefaultPackInterval));
  if (SoundRandom) settings.SetSoundRandom(*SoundRandom);
  if (SoundLoop) settings.SetlSoundLoop(*SoundLoop);
  if (Mute) settings.SetlMute(*Mute);
  if (Title) settings.SetTitle(*Title);
  if (Author) settings.SetAuthor(*Author);
  if (Email) settings.SetEmail(*Email);
  if (Web) settings.SetWeb(*Web);
  settings.SetVer(Ver.value_or(DefaultPackKind));
  if (Effects) {
    TStringList& list = settings.EffectList();
    list.clear();
    for (int32_t effect : *Effects) list.push_back(std::to_string(effect));
  }
  if (Descriptions) settings.DescriptList() = *Descriptions;
  if (Shuffle) settings.SetlShuffle(*Shuffle);
  if (PicFill) settings.SetPicFill(*PicFill);
  if (PicCaptions) settings.SetlPicCaptions(*PicCaptions);
  if (Motion) settings.SetlMotion(*Motion);
}

}  // namespace tovrin
