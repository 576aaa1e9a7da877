#include "input_file.h"

#include <filesystem>
#include <system_error>

#include "core/errors.h"
#include "core/paths.h"
#include "package/stream.h"

namespace tovrin {

namespace fs = std::filesystem;

void RequireRegularFile(const std::string& path) {
  std::error_code ec;
  const auto status = fs::status(PathFromUtf8(path), ec);
  if (ec || !fs::exists(status)) {
    throw EFOpenError("Cannot open file " + path + " (no such file)");
  }
  if (!fs::is_regular_file(status)) {
    throw EFOpenError("Cannot open file " + path + " (not a regular file)");
  }
}

int64_t InputFileSize(const std::string& path) {
  RequireRegularFile(path);
  std::error_code ec;
  const uintmax_t size = fs::file_size(PathFromUtf8(path), ec);
  if (ec) throw EFOpenError("Cannot open file " + path + " (" + ec.message() + ")");
  // Opened once here so that a file the tool may not read is refused with the others, before
  // any output exists.
  [[maybe_unused]] const TFileStream readable(path, TFileMode::fmOpenRead);
  return static_cast<int64_t>(size);
}

void RefuseChangedInput(const std::string& path) {
  throw EReadError(path + ": the file changed while it was being packed");
}

std::vector<uint8_t> ReadInputFile(const std::string& path,
                                   const std::function<void(int64_t size)>& checkSize) {
  const int64_t size = InputFileSize(path);
  checkSize(size);
  TFileStream stream(path, TFileMode::fmOpenRead);
  std::vector<uint8_t> data(static_cast<size_t>(size));
  if (stream.Read(data.data(), data.size()) != data.size()) RefuseChangedInput(path);
  uint8_t extra = 0;
  if (stream.Read(&extra, 1) != 0) RefuseChangedInput(path);
  return data;
}

}  // namespace tovrin
