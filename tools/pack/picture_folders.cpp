#include "picture_folders.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "core/errors.h"
#include "import/picture_type.h"

namespace tovrin {

namespace {

namespace fs = std::filesystem;

[[noreturn]] void CannotRead(const std::string& folder, const std::string& why) {
  throw EFOpenError("Cannot open file " + folder + " (" + why + ")");
}

// Adds the picture files of one folder to `inputs`, counting those of kinds not built in.
void AddFolder(const std::string& folder, bool recursive, TPictureInputs& inputs) {
  std::vector<fs::path> found;
  std::map<TPictureType, int> unreadable;
  std::error_code ec;
  const auto consider = [&](const fs::directory_entry& entry) {
    std::error_code statusError;
    if (!entry.is_regular_file(statusError)) return;
    const TPictureType type = PictureTypeOfName(entry.path().filename().string());
    if (type == TPictureType::ptUnknown) return;
    if (!PictureTypeSupported(type)) {
      ++unreadable[type];
      return;
    }
    found.push_back(entry.path());
  };
  if (recursive) {
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) consider(*it);
  } else {
    fs::directory_iterator it(folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) consider(*it);
  }
  if (ec) CannotRead(folder, ec.message());
  // Path comparison goes element by element, so a folder's files stay together.
  std::sort(found.begin(), found.end());
  for (const auto& [type, count] : unreadable) {
    inputs.Warnings.push_back(folder + ": " + std::to_string(count) + " " + PictureTypeName(type) +
                              " file" + (count == 1 ? "" : "s") +
                              " left out: this build of tovrin-pack cannot read them");
  }
  if (found.empty()) {
    CannotRead(folder, "a folder without " + AcceptedPictureTypes() + " files" +
                           (recursive ? "" : " (--recursive also searches its subfolders)"));
  }
  for (const fs::path& path : found) inputs.Files.push_back(path.string());
}

}  // namespace

TPictureInputs ExpandPictureInputs(const std::vector<std::string>& inputs, bool recursive) {
  TPictureInputs result;
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (fs::is_directory(input, ec)) {
      AddFolder(input, recursive, result);
    } else {
      result.Files.push_back(input);
    }
  }
  return result;
}

}  // namespace tovrin
