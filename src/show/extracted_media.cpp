#include "show/extracted_media.h"

#include <algorithm>

#include "core/paths.h"
#include "package/package_locator.h"

namespace tovrin {

std::vector<bool> ExtractedMedia(const TMediaFolder& folder, const TStringList& names,
                                 int32_t count) {
  std::vector<bool> extracted(static_cast<size_t>(std::max(count, 0)), false);
  if (!folder.Exists()) return extracted;
  const std::string dir = folder.Path();
  const size_t named = std::min(extracted.size(), names.size());
  for (size_t i = 0; i < named; ++i) {
    // A name that is not a plain file name was never extracted, and must not be looked for
    // outside the folder either.
    const std::string& name = names[i];
    extracted[i] = IsPlainFileName(name) && FileExists(MediaFilePath(name, dir));
  }
  return extracted;
}

int32_t NextExtracted(const std::vector<bool>& extracted, int32_t from) {
  const auto count = static_cast<int32_t>(extracted.size());
  if (count == 0) return -1;
  const int32_t start = from >= 0 && from < count ? from : 0;
  for (int32_t step = 0; step < count; ++step) {
    const int32_t i = (start + step) % count;
    if (extracted[static_cast<size_t>(i)]) return i;
  }
  return -1;
}

}  // namespace tovrin
