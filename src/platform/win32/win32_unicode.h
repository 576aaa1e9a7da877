// Text for the wide (UTF-16) Win32 API. Paths are UTF-8 strings inside the engine and meet the
// system only through the wide functions, so a folder or file name outside the ANSI code page
// (C:\Users\Łukasz\) keeps every letter. The package's own strings stay Windows-1252
// (core/ansi_text.h); WideFromAnsi is for those.
#pragma once

#include <string>
#include <string_view>

namespace tovrin {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);
// Windows-1252 text (the package's strings) to UTF-16.
std::wstring WideFromAnsi(std::string_view ansi);

// The path (UTF-8) of an existing file in a form that also survives code that opens it through
// the ANSI calls (some multimedia device drivers do): the short (8.3) form, plain ASCII where the
// file system keeps short names, when the path holds anything beyond ASCII; otherwise, or when
// the system has no short form, the path itself.
std::wstring PathForAnsiOpeners(std::string_view utf8);

}  // namespace tovrin
