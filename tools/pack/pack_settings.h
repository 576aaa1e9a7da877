// The show settings an author chooses for `tovrin-pack build`: each field is set only when the
// settings file or an option gave it; unset fields keep the tool's defaults (ApplyTo).
//
// Texts are held in Windows-1252, the code page the package stores; the parsers convert from the
// UTF-8 the user typed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tovrin {

class TSSFileLocations;

// What the tool writes for settings nobody gave.
inline constexpr int32_t DefaultPackInterval = 5000;  // milliseconds
inline constexpr const char* DefaultPackKind = "photo";

struct TPackSettings {
  std::optional<std::string> Text;
  std::optional<std::string> FontName;
  std::optional<int32_t> FontHeight;
  std::optional<int32_t> FontColor;
  std::optional<int32_t> FontCharset;
  std::optional<uint8_t> FontStyle;  // bit n = style n (bold, italic, underline, strike-out)
  std::optional<uint8_t> FontPitch;  // ordinal: default, variable, fixed
  std::optional<bool> RandomPic;
  std::optional<bool> RandomStyle;
  std::optional<bool> ClearOldImage;
  std::optional<bool> Stretch;
  std::optional<int32_t> Interval;
  std::optional<int32_t> SoundRandom;
  std::optional<bool> SoundLoop;
  std::optional<bool> Mute;
  std::optional<std::string> Title;
  std::optional<std::string> Author;
  std::optional<std::string> Email;
  std::optional<std::string> Web;
  std::optional<std::string> Ver;
  std::optional<std::vector<int32_t>> Effects;
  std::optional<std::vector<std::string>> Descriptions;
  std::optional<bool> Shuffle;
  std::optional<int32_t> PicFill;  // TPicFill
  std::optional<bool> PicCaptions;
  std::optional<bool> Motion;

  // Takes every field that `over` sets (options override the settings file).
  void MergeFrom(const TPackSettings& over);

  // Sets one value by its settings-file key (the property name: "Text", "TextFont.Color",
  // "TextFont.Size" in points, "lStretch", ...; ASCII case ignored) from UTF-8 text. `where`
  // prefixes messages. Raises EConvertError for an unknown key, a key the tool computes itself
  // (the offset, name and size lists) or a value it cannot take.
  void SetByKey(std::string_view where, std::string_view key, std::string_view utf8Value);

  // Writes every field into a settings object: set fields as given, unset ones as the tool's
  // defaults (Interval 5000, Ver "photo"; the rest keeps the object's own defaults).
  void ApplyTo(TSSFileLocations& settings) const;
};

// The section of the settings file that holds the keys.
inline constexpr const char* PackSettingsSection = "Settings";

// Reads a settings file: an INI file in UTF-8 with one section [Settings] and one key per property.
// Raises EFOpenError when the file cannot be read and EConvertError (naming the file and key) for
// anything in it the tool cannot take, including other sections.
TPackSettings ReadPackSettingsFile(const std::string& path);

}  // namespace tovrin
