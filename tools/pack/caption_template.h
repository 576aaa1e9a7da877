// Per-picture captions made from a template such as "{date}, {place}" or "{name} ({year})".
//
// Fields: {date} (the day the photo was taken, as "14 July 2023"), {year}, {name} (the file name
// without its extension), {folder} (the name of the folder that holds the file) and
// {description} (the photo's own description) and {place} (the town nearest to where it was
// taken, "Town, Country", from a table of places). Everything else is literal text; "{{" and "}}"
// stand for single braces.
//
// A field the photo lacks is left out together with the text that separates it from the field
// before it, so "{date}, {description}" gives just the date when there is no description, and
// just the description when there is no date. The text before the first field and after the
// last one stays whenever any field is present; when none is, the caption is empty (a template
// without fields gives its text).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/photo_metadata.h"
#include "places/place_finder.h"

namespace tovrin {

enum class TCaptionField { cfDate, cfYear, cfName, cfFolder, cfDescription, cfPlace };

class TCaptionTemplate {
 public:
  // Raises EConvertError (what prefixes the message) for an unknown field or a lone brace.
  TCaptionTemplate(std::string_view what, std::string_view utf8);

  // The caption of one picture (UTF-8). path: the picture's file as given; meta: what it says
  // about itself; places: where {place} looks its position up (an empty finder names none).
  std::string Expand(const std::string& path, const TPhotoMetadata& meta,
                     const TPlaceFinder& places) const;

  bool Uses(TCaptionField field) const;

 private:
  // Literal text, then field, literal, field, ..., literal: one more literal than fields.
  std::vector<std::string> FLiterals;
  std::vector<TCaptionField> FFields;
};

// "YYYY:MM:DD ..." (EXIF's form) as "14 July 2023", and its year; nothing when the date is not
// in that form or names no real month and day.
std::optional<std::string> PhotoDateText(std::string_view exifDate);
std::optional<std::string> PhotoYearText(std::string_view exifDate);

}  // namespace tovrin
