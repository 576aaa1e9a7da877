#include "show/media_folder.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

#include "core/errors.h"
#include "core/paths.h"
#include "core/random.h"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPrefix = "tovrin-";
constexpr size_t kNameChars = 6;  // as many as mkdtemp puts in place of "XXXXXX"
// A marker is one short line; a longer file is not one of ours.
constexpr size_t kMarkerMax = 64;

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsMediaFolderName(std::string_view name) {
  return name.size() == kPrefix.size() + kNameChars && name.starts_with(kPrefix) &&
         std::all_of(name.begin() + kPrefix.size(), name.end(), IsAsciiAlnum);
}

struct TOwner {
  int64_t Pid = 0;
  uint64_t StartTime = 0;  // 0: not known
};

// Reads "<pid> <start time>\n", decimal digits only, the id from 1 on. A marker cut short (still
// being written, or by a full disk) lacks its newline and is not taken.
std::optional<TOwner> ParseMarker(std::string_view text) {
  TOwner owner;
  const char* const end = text.data() + text.size();
  const auto [afterPid, pidError] = std::from_chars(text.data(), end, owner.Pid);
  if (pidError != std::errc() || owner.Pid <= 0 || afterPid == end || *afterPid != ' ') {
    return std::nullopt;
  }
  const char* const start = afterPid + 1;
  const auto [afterStart, startError] = std::from_chars(start, end, owner.StartTime);
  if (startError != std::errc() || afterStart == start || afterStart + 1 != end ||
      *afterStart != '\n') {
    return std::nullopt;
  }
  return owner;
}

std::optional<TOwner> ReadMarker(const fs::path& folder) {
  const fs::path marker = folder / kMediaFolderOwnerFile;
  std::error_code ec;
  // A plain file only: not read through a link, and no pipe whose opening would block.
  if (!fs::is_regular_file(fs::symlink_status(marker, ec))) return std::nullopt;
  std::ifstream in(marker, std::ios::binary);
  std::string text(kMarkerMax + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return ParseMarker(text);
}

// A real folder (a link to one does not count) that belongs to the user running this process.
// On Windows the temporary directory is the user's own, so a folder in it is taken as the user's.
bool IsOwnFolder(const fs::path& path) {
#ifdef _WIN32
  std::error_code ec;
  return fs::symlink_status(path, ec).type() == fs::file_type::directory;
#else
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
#endif
}

bool OwnerGone(const TOwner& owner, const TSystemServices& system) {
  const TProcessInfo now = system.LookUpProcess(owner.Pid);
  if (!now.Running) return true;
  // The id now names a later process. Without both start times the owner is taken to run.
  return owner.StartTime != 0 && now.StartTime != 0 && now.StartTime != owner.StartTime;
}

}  // namespace

void TMediaFolder::Create(const std::string& parent) {
  if (Exists()) return;
#ifdef _WIN32
  // The name's randomness comes from a generator of our own (the process-wide one belongs to the
  // show's choices, which must not move because of this).
  TRandom names(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                      reinterpret_cast<uintptr_t>(this)));
  static constexpr char kDigits[] =
      "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(kPrefix);
    for (size_t i = 0; i < kNameChars; ++i) name += kDigits[names.Next(62)];
    const std::string path = JoinPath(parent, name);
    std::error_code ec;
    // create_directory reports false for a name that exists already, whatever it is (a folder,
    // a file, a link): only a folder made by this call is taken.
    if (fs::create_directory(PathFromUtf8(path), ec) && !ec) {
      FPath = path;
      return;
    }
    if (ec && ec != std::errc::file_exists) break;
  }
#else
  // mkdtemp makes the folder with mode 0700 under a name that did not exist, never through a
  // link: there is no moment when another user could open it.
  std::string path = JoinPath(parent, std::string(kPrefix) + "XXXXXX");
  if (mkdtemp(path.data()) != nullptr) {
    FPath = path;
    return;
  }
#endif
  throw EFCreateError("Cannot create file " + JoinPath(parent, std::string(kPrefix) + "XXXXXX"));
}

void TMediaFolder::Create(const std::string& parent, const TSystemServices& system) {
  if (Exists()) return;
  RemoveAbandonedMediaFolders(parent, system);
  Create(parent);
  const int64_t pid = system.ProcessId();
  const uint64_t start = system.LookUpProcess(pid).StartTime;
  // The folder is new and the user's alone, so nothing can stand at the marker's name.
  std::ofstream marker(PathFromUtf8(JoinPath(FPath, kMediaFolderOwnerFile)), std::ios::binary);
  marker << pid << ' ' << start << '\n';
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

int RemoveAbandonedMediaFolders(const std::string& parent, const TSystemServices& system) {
  int removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(PathFromUtf8(parent), ec), end; !ec && it != end;
       it.increment(ec)) {
    const fs::path path = it->path();
    if (!IsMediaFolderName(Utf8FromPath(path.filename())) || !IsOwnFolder(path)) continue;
    const std::optional<TOwner> owner = ReadMarker(path);
    if (!owner || !OwnerGone(*owner, system)) continue;
    // remove_all deletes links inside the folder, never what they point to.
    std::error_code removeError;
    fs::remove_all(path, removeError);
    if (!removeError) ++removed;
  }
  return removed;
}

}  // namespace tovrin
