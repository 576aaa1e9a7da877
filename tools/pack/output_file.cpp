#include "output_file.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "core/errors.h"

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

}  // namespace

TOutputFile::TOutputFile(std::string finalPath) : FFinalPath(std::move(finalPath)) {
  if (FFinalPath.empty()) throw EFCreateError("Cannot create file (no name given)");
  std::error_code ec;
  if (fs::is_directory(FFinalPath, ec)) {
    throw EFCreateError("Cannot create file " + FFinalPath + ": it is a directory");
  }
  for (int attempt = 0; attempt < 16 && !FFile; ++attempt) {
    std::string candidate = FFinalPath + ".part-" + RandomSuffix();
    if (fs::exists(candidate, ec)) continue;
    FFile.reset(std::fopen(candidate.c_str(), "wb"));
    if (FFile) FTempPath = std::move(candidate);
  }
  if (!FFile) throw EFCreateError("Cannot create file " + FFinalPath);
  std::setvbuf(FFile.get(), nullptr, _IOFBF, kBufferSize);
}

TOutputFile::~TOutputFile() {
  if (FCommitted) return;
  FFile.reset();
  std::error_code ec;
  fs::remove(FTempPath, ec);
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
  const fs::perms perms = fs::status(path, ec).permissions();
  if (!ec) fs::permissions(FTempPath, perms, ec);
}

void TOutputFile::Commit() {
  if (!FFile) throw EWriteError("Cannot write file " + FFinalPath);
  const bool flushed = std::fflush(FFile.get()) == 0 && !std::ferror(FFile.get());
  const bool closed = std::fclose(FFile.release()) == 0;
  if (!flushed || !closed) throw EWriteError("Cannot write file " + FFinalPath);
  std::error_code ec;
  fs::rename(FTempPath, FFinalPath, ec);
  if (ec) throw EWriteError("Cannot write file " + FFinalPath + ": " + ec.message());
  FCommitted = true;
}

}  // namespace tovrin
