#include "core/new_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <share.h>
#else
#include <unistd.h>
#endif

#include "core/paths.h"

namespace tovrin {

std::FILE* CreateNewFile(const std::string& path, TNewFileAccess access) {
#ifdef _WIN32
  // Windows has no owner-only mode bits; the temporary and settings folders are the user's own.
  (void)access;
  int fd = -1;
  if (_wsopen_s(&fd, PathFromUtf8(path).c_str(),
                _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT, _SH_DENYWR,
                _S_IREAD | _S_IWRITE) != 0) {
    return nullptr;
  }
  std::FILE* f = _fdopen(fd, "w+b");
  if (f == nullptr) _close(fd);
#else
  const mode_t mode = access == TNewFileAccess::nfOwnerOnly ? 0600 : 0666;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  if (fd < 0) return nullptr;
  std::FILE* f = ::fdopen(fd, "w+b");
  if (f == nullptr) ::close(fd);
#endif
  return f;
}

}  // namespace tovrin
