#include "package_report.h"

#include <nlohmann/json.hpp>

#include "core/ansi_text.h"
#include "core/errors.h"
#include "package/ident_maps.h"
#include "package/image.h"
#include "terminal_text.h"

namespace tovrin {

namespace {

// Runs a reading step and puts the file name in front of its message, keeping the error class.
template <class F>
void Reading(const std::string& fileName, F step) {
  try {
    step();
  } catch (const EListError& e) {
    throw EListError(fileName + ": " + e.Message());
  } catch (const EReadError& e) {
    throw EReadError(fileName + ": " + e.Message());
  } catch (const EStreamError& e) {
    throw EStreamError(fileName + ": " + e.Message());
  } catch (const Exception& e) {
    throw Exception(fileName + ": " + e.Message());
  }
}

std::vector<std::string> StyleNames(TFontStyles style) {
  std::vector<std::string> names;
  for (int bit = 0; bit < 4; ++bit) {
    if ((style & (1u << bit)) != 0) names.emplace_back(IntToIdent(FontStyleTypeInfo(), bit));
  }
  return names;
}

std::string PitchName(TFontPitch pitch) {
  return std::string(IntToIdent(FontPitchTypeInfo(), static_cast<int32_t>(pitch)));
}

// A colour or character set by name when it has one, else as a number.
std::string IdentOr(const TTypeInfo& type, int32_t value) {
  const std::string_view name = IntToIdent(type, value);
  return name.empty() ? std::to_string(value) : std::string(name);
}

// The settings' properties in the order the writer stores them, for both renderings.
struct TListProperty {
  const char* Name;
  const TStringList& (TSSFileLocations::*List)() const;
};
constexpr TListProperty kLists[] = {
    {"EffectCommaList", &TSSFileLocations::EffectList},
    {"PicCommaList", &TSSFileLocations::PicList},
    {"PicFileNamesCommaList", &TSSFileLocations::PicFileNameList},
    {"SndCommaList", &TSSFileLocations::SndList},
    {"SndFileNamesCommaList", &TSSFileLocations::SndFileNameList},
    {"SndSizesCommaList", &TSSFileLocations::SndSizeList},
    {"FlashCommaList", &TSSFileLocations::FlashList},
    {"FlashFileNamesCommaList", &TSSFileLocations::FlashFileNameList},
    {"FlashSizesCommaList", &TSSFileLocations::FlashSizeList},
    {"DescriptCommaList", &TSSFileLocations::DescriptList},
};

struct TBoolProperty {
  const char* Name;
  bool (TSSFileLocations::*Get)() const;
};
constexpr TBoolProperty kFlagsFirst[] = {
    {"lRandomStyle", &TSSFileLocations::lRandomStyle},
    {"lRandomPic", &TSSFileLocations::lRandomPic},
    {"lClearOldImage", &TSSFileLocations::lClearOldImage},
    {"lStretch", &TSSFileLocations::lStretch},
};
constexpr TBoolProperty kFlagsLater[] = {
    {"lSoundLoop", &TSSFileLocations::lSoundLoop},
    {"lMute", &TSSFileLocations::lMute},
};

struct TTextProperty {
  const char* Name;
  const std::string& (TSSFileLocations::*Get)() const;
};
constexpr TTextProperty kTexts[] = {
    {"Title", &TSSFileLocations::Title}, {"Author", &TSSFileLocations::Author},
    {"Email", &TSSFileLocations::Email}, {"Web", &TSSFileLocations::Web},
    {"Ver", &TSSFileLocations::Ver},
};

using TJson = nlohmann::ordered_json;  // members in the order written

// The fill around a picture by name, else as a number.
std::string PicFillName(int32_t fill) {
  switch (fill) {
    case pfBlack:
      return "black";
    case pfBlur:
      return "blur";
    default:
      return std::to_string(fill) + " (black)";
  }
}

TJson SettingsJson(const TSSFileLocations& s) {
  TJson json;
  json["Text"] = AnsiToUtf8(s.Text());
  const TFont& font = s.TextFont();
  json["TextFont"] = {{"Name", AnsiToUtf8(font.Name())},
                      {"Height", font.Height()},
                      {"Color", font.Color()},
                      {"Charset", font.Charset()},
                      {"Style", StyleNames(font.Style())},
                      {"Pitch", PitchName(font.Pitch())}};
  for (const TBoolProperty& p : kFlagsFirst) json[p.Name] = (s.*p.Get)();
  json["Interval"] = s.Interval();
  json["SoundRandom"] = s.SoundRandom();
  for (const TBoolProperty& p : kFlagsLater) json[p.Name] = (s.*p.Get)();
  for (const TTextProperty& p : kTexts) json[p.Name] = AnsiToUtf8((s.*p.Get)());
  for (const TListProperty& p : kLists) {
    TJson& list = json[p.Name] = TJson::array();
    for (const std::string& entry : (s.*p.List)()) list.push_back(AnsiToUtf8(entry));
  }
  json["lShuffle"] = s.lShuffle();
  json["PicFill"] = s.PicFill();
  json["lPicCaptions"] = s.lPicCaptions();
  json["lMotion"] = s.lMotion();
  return json;
}

TJson MediaJson(const std::vector<TMediaReport>& items) {
  TJson list = TJson::array();
  for (const TMediaReport& m : items) {
    TJson item = {{"offset", m.Offset}, {"name", AnsiToUtf8(m.Name)}, {"size", m.Size}};
    if (m.Format) {
      const TMovieFormat& f = *m.Format;
      item["container"] = f.Container;
      item["video"] = f.VideoCodec;
      item["audio"] = f.AudioCodec;
      item["width"] = f.Width;
      item["height"] = f.Height;
      item["durationMs"] = f.DurationMs;
      item["problem"] = f.Problem;
    }
    list.push_back(std::move(item));
  }
  return list;
}

// ", mp4: h264 + aac, 1920x1080, 12.5 s", or what is known of it.
std::string MovieText(const TMovieFormat& f) {
  if (f.Container.empty()) return ", not a movie a show plays";
  std::string t = ", " + f.Container;
  if (!f.Problem.empty()) return t + ", will not play: " + TerminalText(f.Problem);
  if (f.VideoCodec.empty()) return t;
  t += ": " + f.VideoCodec + (f.AudioCodec.empty() ? ", no sound" : " + " + f.AudioCodec);
  t += ", " + std::to_string(f.Width) + "x" + std::to_string(f.Height);
  char seconds[32];
  std::snprintf(seconds, sizeof(seconds), ", %.1f s", static_cast<double>(f.DurationMs) / 1000.0);
  return t + seconds;
}

// Package text in double quotes, with quotes and backslashes escaped and control characters shown
// as \xNN.
std::string Quoted(const std::string& ansi) {
  std::string text;
  for (const char c : AnsiToUtf8(ansi)) {
    if (c == '"' || c == '\\') text += '\\';
    text += c;
  }
  return "\"" + TerminalText(text) + "\"";
}

std::string Join(const TStringList& list) {
  std::string text;
  for (const std::string& entry : list) {
    text += (text.empty() ? "" : ", ") + TerminalText(AnsiToUtf8(entry));
  }
  return text;
}

}  // namespace

TPackageReport ReadPackageHead(const std::string& fileName, TStream& stream) {
  TPackageReport report;
  report.FileName = fileName;
  Reading(fileName, [&] {
    report.FileSize = stream.Size();
    report.Trailer = ReadPackageTrailer(stream);
    if (!report.Trailer.Ok) throw EReadError("too short to hold a package trailer");
    report.Settings = std::make_unique<TSSFileLocations>();
    // Read into an existing object, as the show window does with its own settings object.
    ReadShowSettings(stream, report.Trailer.SettingsOffset, report.Settings.get());
  });
  return report;
}

void ReadPackageItems(TPackageReport& report, TStream& stream) {
  const TSSFileLocations& s = *report.Settings;
  Reading(report.FileName, [&] {
    for (int32_t i = 0; i < s.PicCount(); ++i) {
      TPictureReport pic;
      pic.Offset = s.PicOffsetAt(i);
      const std::unique_ptr<TImage> image = ReadPictureItemAt(stream, pic.Offset);
      if (const auto* jpeg = dynamic_cast<const TJPEGImage*>(image->Picture().Graphic())) {
        pic.HasJpeg = true;
        pic.Width = jpeg->Width();
        pic.Height = jpeg->Height();
        pic.JpegLength = static_cast<int64_t>(jpeg->Data().size());
        pic.Grayscale = jpeg->Grayscale();
        pic.Progressive = jpeg->ProgressiveEncoding();
      }
      report.Pictures.push_back(pic);
    }
    for (int32_t i = 0; i < s.SndCount(); ++i) {
      report.Sounds.push_back({s.SndOffsetAt(i), s.SndFileNameAt(i), s.SndSizeAt(i), {}});
    }
    for (int32_t i = 0; i < s.FlashCount(); ++i) {
      report.Movies.push_back({s.FlashOffsetAt(i), s.FlashFileNameAt(i), s.FlashSizeAt(i), {}});
    }
  });
  report.Media = PlanMediaExtraction(s, report.FileSize, report.Trailer.PackageLength,
                                     report.Trailer.SettingsOffset);
}

void DescribeMovies(TPackageReport& report) {
  for (const TMediaFile& f : report.Media.Files) {
    if (f.Kind != TMediaKind::mkMovie || f.Index < 0 ||
        static_cast<size_t>(f.Index) >= report.Movies.size()) {
      continue;
    }
    report.Movies[static_cast<size_t>(f.Index)].Format =
        DescribeMovie(report.FileName, f.Offset, f.Size);
  }
}

std::string RenderReportJson(const TPackageReport& report) {
  TJson json;
  json["packageLength"] = report.Trailer.PackageLength;
  json["settingsOffset"] = report.Trailer.SettingsOffset;
  json["settings"] = SettingsJson(*report.Settings);
  TJson& pictures = json["pictures"] = TJson::array();
  for (const TPictureReport& p : report.Pictures) {
    pictures.push_back({{"offset", p.Offset},
                        {"width", p.Width},
                        {"height", p.Height},
                        {"jpegLength", p.JpegLength},
                        {"grayscale", p.Grayscale},
                        {"progressive", p.Progressive}});
  }
  json["sounds"] = MediaJson(report.Sounds);
  json["movies"] = MediaJson(report.Movies);
  json["mediaLeftOut"] = report.Media.Accepted() ? TJson() : TJson(report.Media.Refusal);
  return json.dump() + "\n";
}

std::string RenderReportText(const TPackageReport& report) {
  const TSSFileLocations& s = *report.Settings;
  const TFont& font = s.TextFont();
  const int64_t packageStart = report.FileSize - PackageTrailerSize - report.Trailer.PackageLength;
  std::string t;
  const auto line = [&t](const std::string& label, const std::string& value) {
    std::string padded = "  " + label;
    if (padded.size() < 26) padded.resize(26, ' ');
    t += padded + " " + value + "\n";
  };
  t += report.FileName + ": " + std::to_string(report.FileSize) + " bytes\n";
  t += "Trailer\n";
  line("PackageLength", std::to_string(report.Trailer.PackageLength) + " (package starts at " +
                            std::to_string(packageStart) + ")");
  line("SettingsOffset", std::to_string(report.Trailer.SettingsOffset));
  t += "Settings\n";
  line("Text", Quoted(s.Text()));
  std::string styles;
  for (const std::string& name : StyleNames(font.Style())) {
    styles += (styles.empty() ? "" : ",") + name;
  }
  line("TextFont", Quoted(font.Name()) + ", height " + std::to_string(font.Height()) + " (" +
                       std::to_string(font.Size()) + " pt at 96 ppi), colour " +
                       IdentOr(ColorTypeInfo(), font.Color()) + ", charset " +
                       IdentOr(CharsetTypeInfo(), font.Charset()) + ", style [" + styles +
                       "], pitch " + PitchName(font.Pitch()));
  for (const TBoolProperty& p : kFlagsFirst) line(p.Name, (s.*p.Get)() ? "true" : "false");
  line("Interval", std::to_string(s.Interval()) + " ms");
  line("SoundRandom", std::to_string(s.SoundRandom()));
  for (const TBoolProperty& p : kFlagsLater) line(p.Name, (s.*p.Get)() ? "true" : "false");
  for (const TTextProperty& p : kTexts) line(p.Name, Quoted((s.*p.Get)()));
  for (const TListProperty& p : kLists) line(p.Name, Join((s.*p.List)()));
  line("lShuffle", s.lShuffle() ? "true" : "false");
  line("PicFill", PicFillName(s.PicFill()));
  line("lPicCaptions", s.lPicCaptions() ? "true" : "false");
  line("lMotion", s.lMotion() ? "true" : "false");

  const TStringList& names = s.PicFileNameList();
  t += "Pictures: " + std::to_string(report.Pictures.size()) + "\n";
  for (size_t i = 0; i < report.Pictures.size(); ++i) {
    const TPictureReport& p = report.Pictures[i];
    std::string text = "  #" + std::to_string(i) + " at " + std::to_string(p.Offset) + ": ";
    if (p.HasJpeg) {
      text += std::to_string(p.Width) + " x " + std::to_string(p.Height) + ", JPEG " +
              std::to_string(p.JpegLength) + " bytes" + (p.Grayscale ? ", grey-scale" : "") +
              (p.Progressive ? ", progressive" : "");
    } else {
      text += "no JPEG picture";
    }
    if (i < names.size()) text += ", " + Quoted(names[i]);
    t += text + "\n";
  }
  if (!report.Pictures.empty()) {
    // What the show decodes on every slide: the stored sizes, in all and at the most.
    int64_t bytes = 0;
    const TPictureReport* largest = &report.Pictures[0];
    for (const TPictureReport& p : report.Pictures) {
      bytes += p.JpegLength;
      if (int64_t{p.Width} * p.Height > int64_t{largest->Width} * largest->Height) largest = &p;
    }
    t += "  stored: " + std::to_string(bytes) + " bytes of JPEG in all, the largest picture " +
         std::to_string(largest->Width) + " x " + std::to_string(largest->Height) + "\n";
  }
  for (const auto& [title, list] :
       {std::pair{"Sounds", &report.Sounds}, std::pair{"Movies", &report.Movies}}) {
    t += std::string(title) + ": " + std::to_string(list->size()) + "\n";
    for (size_t i = 0; i < list->size(); ++i) {
      const TMediaReport& m = (*list)[i];
      t += "  #" + std::to_string(i) + " at " + std::to_string(m.Offset) + ": " +
           std::to_string(m.Size) + " bytes, " + Quoted(m.Name) +
           (m.Format ? MovieText(*m.Format) : std::string()) + "\n";
    }
  }
  if (!report.Media.Accepted()) {
    t += "The show leaves out every sound and movie: " + TerminalText(report.Media.Refusal) + "\n";
  }
  return t;
}

}  // namespace tovrin
