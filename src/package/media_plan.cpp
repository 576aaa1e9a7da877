#include "package/media_plan.h"

#include <unordered_map>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "core/file_names.h"
#include "package/package_locator.h"

namespace tovrin {

namespace {

const char* KindName(TMediaKind kind) {
  return kind == TMediaKind::mkSound ? "sound" : "movie";
}

// "sound 3 "theme.wav"": numbered from 1 as people count.
std::string Describe(const TMediaFile& f) {
  return std::string(KindName(f.Kind)) + " " + std::to_string(f.Index + 1) + " \"" + f.FileName +
         "\"";
}

TMediaPlan Refuse(std::string why) {
  TMediaPlan plan;
  plan.Refusal = std::move(why);
  return plan;
}

struct TMediaList {
  TMediaKind Kind;
  const TStringList& Offsets;
  const TStringList& Names;
  const TStringList& Sizes;
};

}  // namespace

std::string MediaFileName(const std::string& storedName) {
  return AnsiToUtf8(storedName);
}

TMediaPlan PlanMediaExtraction(const TSSFileLocations& settings, int64_t fileSize,
                               int64_t packageLength, int64_t settingsOffset) {
  const TMediaList lists[] = {
      {TMediaKind::mkSound, settings.SndList(), settings.SndFileNameList(), settings.SndSizeList()},
      {TMediaKind::mkMovie, settings.FlashList(), settings.FlashFileNameList(),
       settings.FlashSizeList()},
  };
  if (lists[0].Offsets.empty() && lists[1].Offsets.empty()) return {};

  const int64_t trailerStart = fileSize - PackageTrailerSize;
  const int64_t packageStart = trailerStart - packageLength;
  if (packageLength < 0 || trailerStart < 0 || packageStart < 0) {
    return Refuse("the package length " + std::to_string(packageLength) +
                  " does not fit in a file of " + std::to_string(fileSize) + " bytes");
  }
  if (settingsOffset < packageStart || settingsOffset >= trailerStart) {
    return Refuse("the settings object at " + std::to_string(settingsOffset) +
                  " lies outside the package (" + std::to_string(packageStart) + " to " +
                  std::to_string(trailerStart) + ")");
  }

  TMediaPlan plan;
  // Names by their Windows key, for the first file of each.
  std::unordered_map<std::u32string, size_t> seen;
  for (const TMediaList& list : lists) {
    for (size_t i = 0; i < list.Offsets.size(); ++i) {
      TMediaFile f;
      f.Kind = list.Kind;
      f.Index = static_cast<int32_t>(i);
      const std::string numbered = std::string(KindName(list.Kind)) + " " + std::to_string(i + 1);
      if (i >= list.Names.size()) return Refuse(numbered + " has no name entry");
      if (i >= list.Sizes.size()) return Refuse(numbered + " has no size entry");
      f.StoredName = list.Names[i];
      f.FileName = MediaFileName(f.StoredName);
      f.Offset = StrToNumber(list.Offsets[i]);
      f.Size = StrToNumber(list.Sizes[i]);
      if (const std::string fault = FileNameFault(f.FileName); !fault.empty()) {
        return Refuse("the name of " + Describe(f) + " " + fault);
      }
      if (f.Size < 0) {
        return Refuse(Describe(f) + " has a negative size (" + std::to_string(f.Size) + ")");
      }
      // Both are at most 2^31, so the sum cannot overflow.
      if (f.Offset < packageStart || f.Offset + f.Size > settingsOffset) {
        return Refuse(Describe(f) + " (bytes " + std::to_string(f.Offset) + " to " +
                      std::to_string(f.Offset + f.Size) + ") lies outside the package's items (" +
                      std::to_string(packageStart) + " to " + std::to_string(settingsOffset) + ")");
      }
      const auto [first, added] = seen.emplace(FileNameKey(f.FileName), plan.Files.size());
      if (!added) {
        return Refuse(Describe(f) + " has the name of " + Describe(plan.Files[first->second]) +
                      " (letter case is ignored)");
      }
      plan.TotalBytes += f.Size;
      if (plan.TotalBytes > packageLength) {
        return Refuse("the sounds and movies add up to more than the package's own " +
                      std::to_string(packageLength) + " bytes (at " + Describe(f) + ")");
      }
      plan.Files.push_back(std::move(f));
    }
  }
  return plan;
}

}  // namespace tovrin
