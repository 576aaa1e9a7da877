#include "platform/win32/win32_unicode.h"

#include "core/ansi_text.h"
#include "platform/win32/win32_api.h"

namespace tovrin {

std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string utf8(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::wstring WideFromAnsi(std::string_view ansi) {
  return WideFromUtf8(AnsiToUtf8(ansi));
}

std::wstring PathForAnsiOpeners(std::string_view utf8) {
  std::wstring path = WideFromUtf8(utf8);
  bool ascii = true;
  for (const wchar_t c : path) ascii = ascii && c < 0x80;
  if (ascii) return path;
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return path;
  std::wstring shortPath(size, L'\0');
  const DWORD n = GetShortPathNameW(path.c_str(), shortPath.data(), size);
  if (n == 0 || n >= size) return path;
  shortPath.resize(n);
  return shortPath;
}

}  // namespace tovrin
