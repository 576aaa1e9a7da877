#include "studio_files.h"

#include <fstream>

#include "core/errors.h"
#include "core/paths.h"
#include "studio_errors.h"

namespace tovrin {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadFileBytes(const std::string& path, size_t limit) {
  std::ifstream in(PathFromUtf8(path), std::ios::binary);
  if (!in) throw EFOpenError("cannot open " + path);
  std::vector<uint8_t> bytes;
  char buffer[1 << 16];
  while (bytes.size() < limit && in.read(buffer, sizeof buffer).gcount() > 0) {
    const size_t got = std::min(static_cast<size_t>(in.gcount()), limit - bytes.size());
    bytes.insert(bytes.end(), buffer, buffer + got);
    if (!in) break;
  }
  if (in.bad()) throw EReadError("cannot read " + path);
  return bytes;
}

void WriteFileBytes(const fs::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw EWriteError("cannot write " + Utf8FromPath(path));
}

std::string UploadFileName(std::string_view name) {
  const size_t cut = name.find_last_of("/\\");
  const std::string last(cut == std::string_view::npos ? name : name.substr(cut + 1));
  if (!IsPlainFileName(last)) {
    throw EStudioError(TStudioFault::sfBadRequest,
                       "the file name \"" + last + "\" cannot be used; rename the file");
  }
  return last;
}

bool IsAtOrUnder(const fs::path& path, const fs::path& folder) {
  std::error_code ec;
  const fs::path p = fs::weakly_canonical(path, ec);
  if (ec) return false;
  const fs::path f = fs::weakly_canonical(folder, ec);
  if (ec) return false;
  auto pi = p.begin();
  for (auto fi = f.begin(); fi != f.end(); ++fi, ++pi) {
    if (fi->empty()) continue;  // the empty last part of "dir/"
    if (pi == p.end() || *pi != *fi) return false;
  }
  return true;
}

}  // namespace tovrin
