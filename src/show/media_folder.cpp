#include "show/media_folder.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/errors.h"
#include "core/paths.h"
#include "core/random.h"

namespace tovrin {

namespace fs = std::filesystem;

void TMediaFolder::Create(const std::string& parent) {
  if (Exists()) return;
  // The name's randomness comes from a generator of our own (the process-wide one belongs to the
  // show's choices, which must not move because of this).
  TRandom names(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                      reinterpret_cast<uintptr_t>(this)));
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "tovrin-";
    for (int i = 0; i < 10; ++i) name += kDigits[names.Next(36)];
    const fs::path path = PathFromUtf8(JoinPath(parent, name));
    std::error_code ec;
    // create_directory reports false for a name that exists already, whatever it is (a folder,
    // a file, a link): only a folder made by this call is taken.
    if (fs::create_directory(path, ec) && !ec) {
      fs::permissions(path, fs::perms::owner_all, fs::perm_options::replace, ec);
      FPath = Utf8FromPath(path);
      return;
    }
    if (ec && ec != std::errc::file_exists) break;
  }
  throw EFCreateError("Cannot create file " + JoinPath(parent, "tovrin-*"));
}

std::string TMediaFolder::Path() const {
  return FPath.empty() ? std::string() : FPath + PathDelim;
}

void TMediaFolder::Remove() {
  if (FPath.empty()) return;
  std::error_code ec;
  fs::remove_all(PathFromUtf8(FPath), ec);
  FPath.clear();
}

}  // namespace tovrin
