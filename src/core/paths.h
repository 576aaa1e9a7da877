// Path helpers. The separator is the platform's: a backslash on Windows, a slash elsewhere.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tovrin {

#ifdef _WIN32
inline constexpr char PathDelim = '\\';
#else
inline constexpr char PathDelim = '/';
#endif

// dir followed by name, with one separator between them: none is added when dir already ends in
// the separator (or a slash, which Windows takes as one too), and none when dir is empty (the
// name is then returned unchanged).
std::string JoinPath(std::string_view dir, std::string_view name);

// The part of a path after its last separator (a slash also counts on Windows, and a drive colon).
std::string ExtractFileName(std::string_view path);

// The part of a path before its last separator, without the separator ("" when there is none).
std::string ExtractFileDir(std::string_view path);

// True when name can be used as a file name inside a directory without leaving it: not empty, not
// "." or "..", and free of separators ('/', '\\'), drive colons and control characters.
bool IsPlainFileName(std::string_view name);

// The optional language file beside the program: its directory part, separator included,
// followed by "tovrin.ini".
std::string LanguageFilePath(std::string_view exeName);

// True when path names an existing file (not a folder).
bool FileExists(std::string_view path);

// Paths are UTF-8 inside the engine and the tools. These convert to and from the standard
// library's path, which on Windows holds UTF-16 and is what the wide system calls take; building
// a path from a plain char string there would read it in the ANSI code page instead.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace tovrin
