#include "studio_choices.h"

#include <cctype>

#include <nlohmann/json.hpp>

#include "build_options.h"
#include "caption_template.h"
#include "core/ansi_text.h"
#include "core/errors.h"
#include "option_values.h"
#include "studio_errors.h"

namespace tovrin {

using nlohmann::json;

namespace {

[[noreturn]] void Refuse(const std::string& field, const std::string& what) {
  throw EStudioError(TStudioFault::sfBadRequest, "choices: \"" + field + "\" " + what);
}

std::string TextField(const json& value, const std::string& field) {
  if (!value.is_string()) Refuse(field, "must be a text");
  return value.get<std::string>();
}

bool BoolField(const json& value, const std::string& field) {
  if (!value.is_boolean()) Refuse(field, "must be true or false");
  return value.get<bool>();
}

int32_t IntField(const json& value, const std::string& field, int64_t low, int64_t high) {
  if (!value.is_number_integer()) Refuse(field, "must be a whole number");
  const int64_t n = value.get<int64_t>();
  if (n < low || n > high) {
    Refuse(field, "must be from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return static_cast<int32_t>(n);
}

bool IsWebColor(const std::string& text) {
  if (text.size() != 7 || text[0] != '#') return false;
  for (size_t i = 1; i < 7; ++i) {
    if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

void MergeCaption(TStudioChoices& c, const json& caption) {
  if (!caption.is_object()) Refuse("caption", "must be an object");
  for (const auto& [key, value] : caption.items()) {
    const std::string field = "caption." + key;
    if (key == "text") {
      c.CaptionText = TextField(value, field);
    } else if (key == "font") {
      c.CaptionFont = TextField(value, field);
      if (c.CaptionFont.empty()) Refuse(field, "must name a font");
    } else if (key == "size") {
      c.CaptionSize = IntField(value, field, 1, 1000);
    } else if (key == "color") {
      c.CaptionColor = TextField(value, field);
      if (!IsWebColor(c.CaptionColor)) Refuse(field, "must be a colour as #rrggbb");
    } else if (key == "template") {
      c.CaptionTemplate = TextField(value, field);
    } else {
      Refuse(field, "is not a choice of the studio");
    }
  }
}

void MergeStyles(TStudioChoices& c, const json& value) {
  if (value.is_string() && value.get<std::string>() == "random") {
    c.RandomStyles = true;
    c.Styles.clear();
    return;
  }
  if (!value.is_array()) Refuse("styles", "must be \"random\" or a list of style numbers");
  std::vector<int32_t> styles;
  for (const json& n : value) styles.push_back(IntField(n, "styles", 0, 127));
  if (styles.empty()) Refuse("styles", "must name at least one style (or be \"random\")");
  c.RandomStyles = false;
  c.Styles = std::move(styles);
}

}  // namespace

json ChoicesToJson(const TStudioChoices& c) {
  return json{
      {"title", c.Title},
      {"author", c.Author},
      {"email", c.Email},
      {"web", c.Web},
      {"caption",
       {{"text", c.CaptionText},
        {"font", c.CaptionFont},
        {"size", c.CaptionSize},
        {"color", c.CaptionColor},
        {"template", c.CaptionTemplate}}},
      {"intervalMs", c.IntervalMs},
      {"styles", c.RandomStyles ? json("random") : json(c.Styles)},
      {"randomOrder", c.RandomOrder},
      {"shuffle", c.Shuffle},
      {"stretch", c.Stretch},
      {"clearOld", c.ClearOld},
      {"fit", c.Fit},
      {"fill", c.BlurFill ? "blur" : "black"},
      {"motion", c.Motion},
      {"mute", c.Mute},
  };
}

void MergeChoicesJson(TStudioChoices& choices, const json& body) {
  if (!body.is_object()) Refuse("choices", "must be a JSON object");
  TStudioChoices c = choices;
  struct TFlag {
    const char* Name;
    bool TStudioChoices::*Field;
  };
  static constexpr TFlag kFlags[] = {
      {"randomOrder", &TStudioChoices::RandomOrder},
      {"shuffle", &TStudioChoices::Shuffle},
      {"stretch", &TStudioChoices::Stretch},
      {"clearOld", &TStudioChoices::ClearOld},
      {"fit", &TStudioChoices::Fit},
      {"motion", &TStudioChoices::Motion},
      {"mute", &TStudioChoices::Mute},
  };
  struct TText {
    const char* Name;
    std::string TStudioChoices::*Field;
  };
  static constexpr TText kTexts[] = {
      {"title", &TStudioChoices::Title},
      {"author", &TStudioChoices::Author},
      {"email", &TStudioChoices::Email},
      {"web", &TStudioChoices::Web},
  };
  for (const auto& [key, value] : body.items()) {
    bool known = false;
    for (const TFlag& flag : kFlags) {
      if (key == flag.Name) {
        c.*flag.Field = BoolField(value, key);
        known = true;
      }
    }
    for (const TText& text : kTexts) {
      if (key == text.Name) {
        c.*text.Field = TextField(value, key);
        known = true;
      }
    }
    if (known) continue;
    if (key == "caption") {
      MergeCaption(c, value);
    } else if (key == "intervalMs") {
      // Up to a day: longer is surely a mistake of units.
      c.IntervalMs = IntField(value, key, 0, 86'400'000);
    } else if (key == "styles") {
      MergeStyles(c, value);
    } else if (key == "fill") {
      const std::string fill = TextField(value, key);
      if (fill != "black" && fill != "blur") Refuse(key, "must be \"black\" or \"blur\"");
      c.BlurFill = fill == "blur";
    } else {
      Refuse(key, "is not a choice of the studio");
    }
  }
  // The texts must be storable in the package before they are taken.
  TBuildRequest check;
  ApplyChoices(c, check);
  choices = std::move(c);
}

void ApplyChoices(const TStudioChoices& c, TBuildRequest& request) {
  TPackSettings& s = request.Options;
  const auto stored = [](const std::string& utf8, const char* field) {
    try {
      return Utf8ToAnsiStrict(utf8);
    } catch (const EConvertError&) {
      Refuse(field, "holds characters a saver cannot store (it stores Western European text)");
    }
  };
  s.Title = stored(c.Title, "title");
  s.Author = stored(c.Author, "author");
  s.Email = stored(c.Email, "email");
  s.Web = stored(c.Web, "web");
  if (!c.CaptionText.empty()) s.Text = stored(c.CaptionText, "caption.text");
  s.FontName = stored(c.CaptionFont, "caption.font");
  s.FontHeight = FontHeightForPoints(c.CaptionSize);
  s.FontColor = ParseColor("caption.color", c.CaptionColor);
  s.Interval = c.IntervalMs;
  if (c.RandomStyles) {
    std::vector<int32_t> all;
    for (int32_t n = 1; n < 128; ++n) all.push_back(n);
    s.Effects = std::move(all);
    s.RandomStyle = true;
  } else {
    s.Effects = c.Styles;
    s.RandomStyle = false;
  }
  s.RandomPic = c.RandomOrder;
  s.Shuffle = c.Shuffle;
  s.Stretch = c.Stretch;
  s.ClearOldImage = c.ClearOld;
  s.PicFill = ParsePicFill("fill", c.BlurFill ? "blur" : "black");
  s.Mute = c.Mute;
  if (!c.CaptionTemplate.empty()) {
    try {
      TCaptionTemplate("caption.template", c.CaptionTemplate);
    } catch (const EConvertError& e) {
      throw EStudioError(TStudioFault::sfBadRequest, e.Message());
    }
  }
  request.CaptionTemplate = c.CaptionTemplate;
  request.PictureOptions.Fit = c.Fit ? TFitBox{StudioFitWidth, StudioFitHeight} : TFitBox{};
}

}  // namespace tovrin
