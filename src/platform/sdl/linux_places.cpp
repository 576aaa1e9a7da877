#include "platform/sdl/linux_places.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/paths.h"

namespace tovrin {

namespace {

bool Absolute(const char* path) {
  return path && path[0] == '/';
}

std::string WithSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

std::string TempDirFrom(const char* tmpdir) {
  return WithSlash(Absolute(tmpdir) ? tmpdir : "/tmp");
}

std::string SettingsDirFrom(const char* xdgConfigHome, const char* home,
                            const std::string& programFileName) {
  if (!IsPlainFileName(programFileName)) return std::string();
  std::string base;
  if (Absolute(xdgConfigHome)) {
    base = WithSlash(xdgConfigHome);
  } else if (Absolute(home)) {
    base = WithSlash(home) + ".config/";
  } else {
    return std::string();
  }
  return base + "tovrin/" + programFileName + "/";
}

std::string LockDirFrom(const char* xdgRuntimeDir, const std::string& tempDir) {
  if (Absolute(xdgRuntimeDir)) return WithSlash(xdgRuntimeDir);
  const std::string own = WithSlash(tempDir) + "tovrin-lock-" + std::to_string(getuid()) + "/";
  return MakePrivateDirectory(own) ? own : std::string();
}

bool MakePrivateDirectory(const std::string& path) {
  // A trailing slash would make lstat follow a link standing at the name.
  std::string dir = path;
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (mkdir(dir.c_str(), 0700) == 0) {
    // Made by this call, so ours: the umask may have taken owner bits away, which are given
    // back. Opened without following a link, in case the name was swapped since.
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
      fchmod(fd, 0700);
      close(fd);
    }
  } else if (errno != EEXIST) {
    return false;
  }
  struct stat st;
  return lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
         (st.st_mode & 07777) == 0700;
}

std::string LockFileName(const std::string& lockName) {
  std::string name = lockName;
  for (char& c : name) {
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "_" + name;
  return name + ".lock";
}

bool MakeDirectories(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string path;
  size_t pos = 0;
  while (pos < dir.size()) {
    const size_t slash = dir.find('/', pos + 1);
    path = dir.substr(0, slash == std::string::npos ? dir.size() : slash);
    pos = slash == std::string::npos ? dir.size() : slash;
    if (path.empty() || path == "/") continue;
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace tovrin
