#include "input_file.h"

#include <filesystem>
#include <system_error>

#include "core/errors.h"

namespace tovrin {

void RequireRegularFile(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) {
    throw EFOpenError("Cannot open file " + path + " (no such file)");
  }
  if (!std::filesystem::is_regular_file(status)) {
    throw EFOpenError("Cannot open file " + path + " (not a regular file)");
  }
}

}  // namespace tovrin
