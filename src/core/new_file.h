// Creating a file that must not exist yet.
#pragma once

#include <cstdio>
#include <string>

namespace tovrin {

enum class TNewFileAccess {
  nfOwnerOnly,  // readable and writable by the owner alone (0600 on POSIX)
  nfUsual,      // what the user's umask allows (0666 before it)
};

// Creates the file at path (UTF-8) open for reading and writing ("w+b"), only when nothing stands
// there yet and never through a symbolic link (O_EXCL, O_NOFOLLOW; on Windows _O_EXCL, which
// refuses an existing name of any kind); not inherited by child processes. nullptr when that
// fails, errno telling why.
std::FILE* CreateNewFile(const std::string& path, TNewFileAccess access);

}  // namespace tovrin
