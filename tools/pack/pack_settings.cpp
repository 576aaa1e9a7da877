#include "pack_settings.h"

#include <fstream>

#include "core/conversions.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "option_values.h"
#include "package/comma_text.h"
#include "text_encoding.h"

namespace tovrin {

namespace {

template <class T>
void Take(std::optional<T>& field, const std::optional<T>& over) {
  if (over) field = over;
}

// Keys whose values the tool computes from the files it packs.
constexpr const char* kComputedKeys[] = {
    "PicCommaList",
    "PicFileNamesCommaList",
    "SndCommaList",
    "SndFileNamesCommaList",
    "SndSizesCommaList",
    "FlashCommaList",
    "FlashFileNamesCommaList",
    "FlashSizesCommaList",
};

}  // namespace

void TPackSettings::MergeFrom(const TPackSettings& over) {
  Take(Text, over.Text);
  Take(FontName, over.FontName);
  Take(FontHeight, over.FontHeight);
  Take(FontColor, over.FontColor);
  Take(FontCharset, over.FontCharset);
  Take(FontStyle, over.FontStyle);
  Take(FontPitch, over.FontPitch);
  Take(RandomPic, over.RandomPic);
  Take(RandomStyle, over.RandomStyle);
  Take(ClearOldImage, over.ClearOldImage);
  Take(Stretch, over.Stretch);
  Take(Interval, over.Interval);
  Take(SoundRandom, over.SoundRandom);
  Take(SoundLoop, over.SoundLoop);
  Take(Mute, over.Mute);
  Take(Title, over.Title);
  Take(Author, over.Author);
  Take(Email, over.Email);
  Take(Web, over.Web);
  Take(Ver, over.Ver);
  Take(Effects, over.Effects);
  Take(Descriptions, over.Descriptions);
}

void TPackSettings::SetByKey(std::string_view where, std::string_view key,
                             std::string_view utf8Value) {
  const std::string what = std::string(where) + std::string(key);
  const auto is = [&](const char* name) { return SameText(key, name); };
  const auto text = [&] { return Utf8ToCp1252(utf8Value); };
  const auto boolean = [&] { return ParseBoolean(what, utf8Value); };

  if (is("Text"))
    Text = text();
  else if (is("TextFont.Name"))
    FontName = text();
  else if (is("TextFont.Size"))
    FontHeight = FontHeightForPoints(ParseInteger(what, utf8Value, 1, 1000));
  else if (is("TextFont.Height"))
    FontHeight = ParseInteger(what, utf8Value, -1000, 1000);
  else if (is("TextFont.Color"))
    FontColor = ParseColor(what, utf8Value);
  else if (is("TextFont.Charset"))
    FontCharset = ParseCharset(what, utf8Value);
  else if (is("TextFont.Style"))
    FontStyle = ParseFontStyles(what, utf8Value);
  else if (is("TextFont.Pitch"))
    FontPitch = ParseFontPitch(what, utf8Value);
  else if (is("lRandomPic"))
    RandomPic = boolean();
  else if (is("lRandomStyle"))
    RandomStyle = boolean();
  else if (is("lClearOldImage"))
    ClearOldImage = boolean();
  else if (is("lStretch"))
    Stretch = boolean();
  else if (is("Interval"))
    Interval = ParseInteger(what, utf8Value, 0, INT32_MAX);
  else if (is("SoundRandom"))
    SoundRandom = ParseInteger(what, utf8Value, INT32_MIN, INT32_MAX);
  else if (is("lSoundLoop"))
    SoundLoop = boolean();
  else if (is("lMute"))
    Mute = boolean();
  else if (is("Title"))
    Title = text();
  else if (is("Author"))
    Author = text();
  else if (is("Email"))
    Email = text();
  else if (is("Web"))
    Web = text();
  else if (is("Ver"))
    Ver = text();
  else if (is("EffectCommaList"))
    Effects = ParseEffects(what, utf8Value);
  else if (is("DescriptCommaList"))
    Descriptions = ParseCommaText(text());
  else {
    for (const char* computed : kComputedKeys) {
      if (is(computed)) {
        throw EConvertError(what +
                            ": this list is computed from the files being packed (give "
                            "pictures as arguments, sounds with --sound, movies with --movie)");
      }
    }
    throw EConvertError(what + ": unknown setting");
  }
}

TPackSettings ReadPackSettingsFile(const std::string& path) {
  // TIniFile reads a missing file as empty; a settings file that was named must exist.
  if (!std::ifstream(path, std::ios::binary)) throw EFOpenError("Cannot open file " + path);
  const TIniFile ini(path);
  for (const std::string& section : ini.ReadSections()) {
    if (!SameText(section, PackSettingsSection)) {
      throw EConvertError(path + ": unknown section [" + section + "] (the keys belong in [" +
                          PackSettingsSection + "])");
    }
  }
  TPackSettings settings;
  const std::string where = path + ": ";
  bool hasSize = false;
  bool hasHeight = false;
  for (const std::string& key : ini.ReadSection(PackSettingsSection)) {
    hasSize = hasSize || SameText(key, "TextFont.Size");
    hasHeight = hasHeight || SameText(key, "TextFont.Height");
    settings.SetByKey(where, key, ini.ReadString(PackSettingsSection, key, ""));
  }
  if (hasSize && hasHeight) {
    throw EConvertError(where + "give TextFont.Size or TextFont.Height, not both");
  }
  return settings;
}

}  // namespace tovrin
