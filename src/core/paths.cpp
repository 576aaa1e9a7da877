#include "core/paths.h"

#include <filesystem>
#include <system_error>

namespace tovrin {

namespace {
bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}
}  // namespace

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string result(dir);
  // Windows takes a slash as a separator too: a directory given with one needs no other.
  if (!result.empty() && result.back() != PathDelim && result.back() != '/') result += PathDelim;
  result += name;
  return result;
}

std::string ExtractFileName(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsSeparator(path[i - 1])) --i;
  return std::string(path.substr(i));
}

std::string ExtractFileDir(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsSeparator(path[i - 1])) --i;
  if (i == 0) return {};
  return std::string(path.substr(0, i - 1));
}

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

std::string LanguageFilePath(std::string_view exeName) {
  const std::string name = ExtractFileName(exeName);
  return std::string(exeName.substr(0, exeName.size() - name.size())) + "tovrin.ini";
}

bool FileExists(std::string_view path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(PathFromUtf8(path), ec);
}

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace tovrin
