// Rules for the names of files that a package asks to have created: the sounds and movies the
// engine extracts, and what tovrin-pack stores and extracts.
//
// A saver made on one system runs on the other, so one rule serves every platform: a name passes
// only when it stays inside the folder it is joined to and both Windows and Linux can create it
// there as an ordinary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tovrin {

// The longest name, in bytes of UTF-8. Linux allows 255 bytes and Windows 255 UTF-16 units; a
// character never takes more UTF-16 units than UTF-8 bytes, so the byte limit is the stricter.
inline constexpr size_t MaxFileNameBytes = 255;

// Why a UTF-8 name cannot name a file inside a folder, or "" when it can. Refused: an empty name,
// "." and "..", text that is not UTF-8, more than MaxFileNameBytes bytes, control characters (C0,
// DEL and C1), the characters Windows forbids in names (< > : " / \ | ? *), a last character that
// is a dot or a space (Windows drops them, so the file would get another name), and the names of
// Windows devices (CON, PRN, AUX, NUL, COM0-COM9, LPT0-LPT9, COM and LPT with a superscript 1, 2
// or 3, CONIN$, CONOUT$), in any letter case and with any extension ("nul.txt", "Com1.wav").
std::string FileNameFault(std::string_view name);
inline bool IsSafeFileName(std::string_view name) {
  return FileNameFault(name).empty();
}

// The upper-case form of one code point as Windows compares names: one code point to one, never
// an expansion (so "ß" stays itself). Covers Latin (Basic, Latin-1, Extended-A and -B, Extended
// Additional), Greek, Cyrillic and Armenian; other code points are returned unchanged.
uint32_t UpperCaseCodePoint(uint32_t codePoint);

// The key under which two UTF-8 names are the same file on Windows: each code point upper-cased
// alone. "Ärger.wav" and "äRGER.WAV" have one key. Bytes that are not UTF-8 are kept as they are.
std::u32string FileNameKey(std::string_view name);

}  // namespace tovrin
