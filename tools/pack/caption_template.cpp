#include "caption_template.h"

#include <algorithm>
#include <filesystem>

#include "core/errors.h"

namespace tovrin {

namespace {

struct TFieldName {
  std::string_view Name;
  TCaptionField Field;
};
constexpr TFieldName kFields[] = {
    {"date", TCaptionField::cfDate},
    {"year", TCaptionField::cfYear},
    {"name", TCaptionField::cfName},
    {"folder", TCaptionField::cfFolder},
    {"description", TCaptionField::cfDescription},
    {"place", TCaptionField::cfPlace},
};

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

// Digits at text[at, at + n) as a number, or -1.
int Digits(std::string_view text, size_t at, size_t n) {
  if (text.size() < at + n) return -1;
  int value = 0;
  for (size_t i = at; i < at + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

struct TDate {
  int Year, Month, Day;
};

std::optional<TDate> ParseExifDate(std::string_view text) {
  const int year = Digits(text, 0, 4);
  const int month = Digits(text, 5, 2);
  const int day = Digits(text, 8, 2);
  if (year <= 0 || month < 1 || month > 12 || day < 1 || text[4] != ':' || text[7] != ':') {
    return std::nullopt;
  }
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (day > days[month - 1]) return std::nullopt;
  return TDate{year, month, day};
}

}  // namespace

std::optional<std::string> PhotoDateText(std::string_view exifDate) {
  const std::optional<TDate> d = ParseExifDate(exifDate);
  if (!d) return std::nullopt;
  return std::to_string(d->Day) + " " + kMonths[d->Month - 1] + " " + std::to_string(d->Year);
}

std::optional<std::string> PhotoYearText(std::string_view exifDate) {
  const std::optional<TDate> d = ParseExifDate(exifDate);
  if (!d) return std::nullopt;
  return std::to_string(d->Year);
}

TCaptionTemplate::TCaptionTemplate(std::string_view what, std::string_view text) {
  FLiterals.emplace_back();
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c == '{' || c == '}') && i + 1 < text.size() && text[i + 1] == c) {
      FLiterals.back() += c;
      ++i;
    } else if (c == '{') {
      const size_t end = text.find('}', i);
      if (end == std::string_view::npos) {
        throw EConvertError(std::string(what) + ": \"{\" without its \"}\"");
      }
      const std::string_view name = text.substr(i + 1, end - i - 1);
      bool known = false;
      for (const TFieldName& f : kFields) {
        if (f.Name == name) {
          FFields.push_back(f.Field);
          known = true;
        }
      }
      if (!known) {
        throw EConvertError(std::string(what) + ": unknown field {" + std::string(name) +
                            "} (known: {date}, {year}, {name}, {folder}, {description}, {place})");
      }
      FLiterals.emplace_back();
      i = end;
    } else if (c == '}') {
      throw EConvertError(std::string(what) + ": \"}\" without its \"{\" (write \"}}\")");
    } else {
      FLiterals.back() += c;
    }
  }
}

bool TCaptionTemplate::Uses(TCaptionField field) const {
  return std::find(FFields.begin(), FFields.end(), field) != FFields.end();
}

std::string TCaptionTemplate::Expand(const std::string& path, const TPhotoMetadata& meta,
                                     const TPlaceFinder& places) const {
  if (FFields.empty()) return FLiterals.front();
  const std::filesystem::path file(path);
  std::string body;
  bool any = false;
  for (size_t i = 0; i < FFields.size(); ++i) {
    std::optional<std::string> value;
    switch (FFields[i]) {
      case TCaptionField::cfDate:
        value = PhotoDateText(meta.DateTaken);
        break;
      case TCaptionField::cfYear:
        value = PhotoYearText(meta.DateTaken);
        break;
      case TCaptionField::cfName:
        value = file.stem().string();
        break;
      case TCaptionField::cfFolder: {
        // A bare file name lies in the current folder.
        std::error_code error;
        const std::filesystem::path full = std::filesystem::absolute(file, error);
        value = error ? std::string() : full.parent_path().filename().string();
        break;
      }
      case TCaptionField::cfDescription:
        value = meta.Description;
        break;
      case TCaptionField::cfPlace:
        if (meta.Position) {
          value = places.NameOfPlaceNear(meta.Position->Latitude, meta.Position->Longitude);
        }
        break;
    }
    if (!value || value->empty()) continue;
    if (any) body += FLiterals[i];
    body += *value;
    any = true;
  }
  return any ? FLiterals.front() + body + FLiterals.back() : std::string();
}

}  // namespace tovrin
