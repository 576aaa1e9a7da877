#include "core/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "core/errors.h"
#include "core/new_file.h"
#include "core/paths.h"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

// Large writes keep the number of system calls low when whole photographs pass through.
constexpr size_t kBufferSize = size_t{1} << 20;

std::string RandomSuffix() {
  std::random_device device;
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (int i = 0; i < 8; ++i) suffix += kDigits[device() % 36];
  return suffix;
}

// Asks the system to put the file's bytes on the disk before it is renamed into place.
bool SyncFile(std::FILE* f) {
#ifdef _WIN32
  return _commit(_fileno(f)) == 0;
#else
  return ::fsync(::fileno(f)) == 0;
#endif
}

// Makes the rename itself durable. Not every file system lets a directory be synced, so a failure
// here is not an error.
void SyncDirectoryOf(const std::string& path) {
#ifndef _WIN32
  std::string dir = fs::path(path).parent_path().string();
  if (dir.empty()) dir = ".";
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
#else
  (void)path;
#endif
}

// Moves the finished file to the final path, failing with EEXIST when something (a file, a
// directory or a symbolic link) stands there already.
bool MoveIntoPlaceNoReplace(const std::string& from, const std::string& to, std::string& why) {
#ifdef _WIN32
  // _wrename never replaces an existing file.
  if (_wrename(PathFromUtf8(from).c_str(), PathFromUtf8(to).c_str()) == 0) return true;
#else
  // link() fails when the name is taken (a dangling symbolic link included) and never follows it.
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return true;
  }
  // File systems without hard links (FAT, some network shares): rename when the name is still
  // free, leaving only the moment between the check and the rename open.
  if (errno == EPERM || errno == ENOTSUP || errno == EXDEV || errno == EMLINK) {
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) {
      errno = EEXIST;
    } else if (errno == ENOENT && ::rename(from.c_str(), to.c_str()) == 0) {
      return true;
    }
  }
#endif
  why = errno == EEXIST ? "it exists already" : std::strerror(errno);
  return false;
}

}  // namespace

TOutputFile::TOutputFile(std::string finalPath, TOutputFileMode mode)
    : FFinalPath(std::move(finalPath)), FMode(mode) {
  if (FFinalPath.empty()) throw EFCreateError("Cannot create file (no name given)");
  std::error_code ec;
  if (fs::is_directory(PathFromUtf8(FFinalPath), ec)) {
    throw EFCreateError("Cannot create file " + FFinalPath + ": it is a directory");
  }
  for (int attempt = 0; attempt < 16 && !FFile; ++attempt) {
    std::string candidate = FFinalPath + ".part-" + RandomSuffix();
    FFile.reset(CreateNewFile(candidate, TNewFileAccess::nfUsual));
    if (FFile) FTempPath = std::move(candidate);
  }
  if (!FFile) throw EFCreateError("Cannot create file " + FFinalPath);
  std::setvbuf(FFile.get(), nullptr, _IOFBF, kBufferSize);
}

TOutputFile::~TOutputFile() {
  if (FCommitted) return;
  FFile.reset();
  std::error_code ec;
  fs::remove(PathFromUtf8(FTempPath), ec);
}

void TOutputFile::Write(const void* data, size_t count) {
  if (count == 0) return;
  if (!FFile || std::fwrite(data, 1, count, FFile.get()) != count) {
    throw EWriteError("Cannot write file " + FFinalPath);
  }
  FSize += static_cast<int64_t>(count);
}

void TOutputFile::CopyPermissionsFrom(const std::string& path) {
  std::error_code ec;
  const fs::perms perms = fs::status(PathFromUtf8(path), ec).permissions();
  if (!ec) fs::permissions(PathFromUtf8(FTempPath), perms, ec);
}

void TOutputFile::Commit() {
  if (!FFile) throw EWriteError("Cannot write file " + FFinalPath);
  const bool flushed =
      std::fflush(FFile.get()) == 0 && !std::ferror(FFile.get()) && SyncFile(FFile.get());
  const bool closed = std::fclose(FFile.release()) == 0;
  if (!flushed || !closed) throw EWriteError("Cannot write file " + FFinalPath);
  if (FMode == TOutputFileMode::ofKeepExisting) {
    std::string why;
    if (!MoveIntoPlaceNoReplace(FTempPath, FFinalPath, why)) {
      throw EFCreateError("Cannot create file " + FFinalPath + ": " + why);
    }
  } else {
    // rename() replaces a symbolic link at the final path, never the file it points to.
    std::error_code ec;
    fs::rename(PathFromUtf8(FTempPath), PathFromUtf8(FFinalPath), ec);
    if (ec) throw EWriteError("Cannot write file " + FFinalPath + ": " + ec.message());
  }
  FCommitted = true;
  SyncDirectoryOf(FFinalPath);
}

}  // namespace tovrin
