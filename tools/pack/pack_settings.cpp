#include "pack_settings.h"

#include <fstream>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "core/errors.h"
#include "core/ini_file.h"
#include "option_values.h"
#include "package/comma_text.h"

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
  Take(Shuffle, over.Shuffle);
  Take(PicFill, over.PicFill);
  Take(PicCaptions, over.PicCaptions);
  Take(Motion, over.Motion);
}

namespace {

// The settings-file keys, each with the code that reads its value; what names the file and key
// for messages.
struct TSettingsKey {
  const char* Name;
  void (*Apply)(const std::string& what, std::string_view value, TPackSettings& s);
};

constexpr TSettingsKey kSettingsKeys[] = {
    {"Text", [](const std::string&, std::string_view v,
                TPackSettings& s) { s.Text = Utf8ToAnsiStrict(v); }},
    {"TextFont.Name", [](const std::string&, std::string_view v,
                         TPackSettings& s) { s.FontName = Utf8ToAnsiStrict(v); }},
    {"TextFont.Size",
     [](const std::string& w, std::string_view v, TPackSettings& s) {
       s.FontHeight = FontHeightForPoints(ParseRangedInteger(w, v, 1, 1000, PackWording));
     }},
    {"TextFont.Height",
     [](const std::string& w, std::string_view v, TPackSettings& s) {
       s.FontHeight = ParseRangedInteger(w, v, -1000, 1000, PackWording);
     }},
    {"TextFont.Color", [](const std::string& w, std::string_view v,
                          TPackSettings& s) { s.FontColor = ParseColor(w, v); }},
    {"TextFont.Charset", [](const std::string& w, std::string_view v,
                            TPackSettings& s) { s.FontCharset = ParseCharset(w, v); }},
    {"TextFont.Style", [](const std::string& w, std::string_view v,
                          TPackSettings& s) { s.FontStyle = ParseFontStyles(w, v); }},
    {"TextFont.Pitch", [](const std::string& w, std::string_view v,
                          TPackSettings& s) { s.FontPitch = ParseFontPitch(w, v); }},
    {"lRandomPic", [](const std::string& w, std::string_view v,
                      TPackSettings& s) { s.RandomPic = ParseBoolean(w, v); }},
    {"lRandomStyle", [](const std::string& w, std::string_view v,
                        TPackSettings& s) { s.RandomStyle = ParseBoolean(w, v); }},
    {"lClearOldImage", [](const std::string& w, std::string_view v,
                          TPackSettings& s) { s.ClearOldImage = ParseBoolean(w, v); }},
    {"lStretch", [](const std::string& w, std::string_view v,
                    TPackSettings& s) { s.Stretch = ParseBoolean(w, v); }},
    {"Interval",
     [](const std::string& w, std::string_view v, TPackSettings& s) {
       s.Interval = ParseRangedInteger(w, v, 0, INT32_MAX, PackWording);
     }},
    {"SoundRandom",
     [](const std::string& w, std::string_view v, TPackSettings& s) {
       s.SoundRandom = ParseRangedInteger(w, v, INT32_MIN, INT32_MAX, PackWording);
     }},
    {"lSoundLoop", [](const std::string& w, std::string_view v,
                      TPackSettings& s) { s.SoundLoop = ParseBoolean(w, v); }},
    {"lMute", [](const std::string& w, std::string_view v,
                 TPackSettings& s) { s.Mute = ParseBoolean(w, v); }},
    {"Title", [](const std::string&, std::string_view v,
                 TPackSettings& s) { s.Title = Utf8ToAnsiStrict(v); }},
    {"Author", [](const std::string&, std::string_view v,
                  TPackSettings& s) { s.Author = Utf8ToAnsiStrict(v); }},
    {"Email", [](const std::string&, std::string_view v,
                 TPackSettings& s) { s.Email = Utf8ToAnsiStrict(v); }},
    {"Web",
     [](const std::string&, std::string_view v, TPackSettings& s) { s.Web = Utf8ToAnsiStrict(v); }},
    {"Ver",
     [](const std::string&, std::string_view v, TPackSettings& s) { s.Ver = Utf8ToAnsiStrict(v); }},
    {"EffectCommaList", [](const std::string& w, std::string_view v,
                           TPackSettings& s) { s.Effects = ParseEffects(w, v); }},
    {"DescriptCommaList",
     [](const std::string&, std::string_view v, TPackSettings& s) {
       s.Descriptions = ParseCommaText(Utf8ToAnsiStrict(v));
     }},
    {"lShuffle", [](const std::string& w, std::string_view v,
                    TPackSettings& s) { s.Shuffle = ParseBoolean(w, v); }},
    {"PicFill", [](const std::string& w, std::string_view v,
                   TPackSettings& s) { s.PicFill = ParsePicFill(w, v); }},
    {"lPicCaptions", [](const std::string& w, std::string_view v,
                        TPackSettings& s) { s.PicCaptions = ParseBoolean(w, v); }},
    {"lMotion", [](const std::string& w, std::string_view v,
                   TPackSettings& s) { s.Motion = ParseBoolean(w, v); }},
};

}  // namespace

void TPackSettings::SetByKey(std::string_view where, std::string_view key,
                             std::string_view utf8Value) {
  const std::string what = std::string(where) + std::string(key);
  for (const TSettingsKey& k : kSettingsKeys) {
    if (SameText(key, k.Name)) {
      k.Apply(what, utf8Value, *this);
      return;
    }
  }
  for (const char* computed : kComputedKeys) {
    if (SameText(key, computed)) {
      throw EConvertError(what +
                          ": this list is computed from the files being packed (give pictures "
                          "as arguments, sounds with --sound, movies with --movie)");
    }
  }
  throw EConvertError(what + ": unknown setting");
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
