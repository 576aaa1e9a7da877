#include "core/file_names.h"

#include <algorithm>
#include <array>

#include "core/ansi_text.h"

namespace tovrin {

namespace {

// Lower-case letters and their upper-case forms, as runs: every stride-th code point from First
// to Last becomes itself plus Delta. Made from the Unicode character database's simple upper-case
// mappings of the blocks named in the header; sorted by First.
struct TUpperCaseRun {
  uint32_t First;
  uint32_t Last;
  uint32_t Stride;
  int32_t Delta;
};
constexpr TUpperCaseRun kUpperCaseRuns[] = {
    {0x0061, 0x007A, 1, -32},  {0x00B5, 0x00B5, 1, 743}, {0x00E0, 0x00F6, 1, -32},
    {0x00F8, 0x00FE, 1, -32},  {0x00FF, 0x00FF, 1, 121}, {0x0101, 0x012F, 2, -1},
    {0x0131, 0x0131, 1, -232}, {0x0133, 0x0137, 2, -1},  {0x013A, 0x0148, 2, -1},
    {0x014B, 0x0177, 2, -1},   {0x017A, 0x017E, 2, -1},  {0x017F, 0x017F, 1, -300},
    {0x0180, 0x0180, 1, 195},  {0x0183, 0x0185, 2, -1},  {0x0188, 0x0188, 1, -1},
    {0x018C, 0x018C, 1, -1},   {0x0192, 0x0192, 1, -1},  {0x0195, 0x0195, 1, 97},
    {0x0199, 0x0199, 1, -1},   {0x019A, 0x019A, 1, 163}, {0x019E, 0x019E, 1, 130},
    {0x01A1, 0x01A5, 2, -1},   {0x01A8, 0x01A8, 1, -1},  {0x01AD, 0x01AD, 1, -1},
    {0x01B0, 0x01B0, 1, -1},   {0x01B4, 0x01B6, 2, -1},  {0x01B9, 0x01B9, 1, -1},
    {0x01BD, 0x01BD, 1, -1},   {0x01BF, 0x01BF, 1, 56},  {0x01C5, 0x01C5, 1, -1},
    {0x01C6, 0x01C6, 1, -2},   {0x01C8, 0x01C8, 1, -1},  {0x01C9, 0x01C9, 1, -2},
    {0x01CB, 0x01CB, 1, -1},   {0x01CC, 0x01CC, 1, -2},  {0x01CE, 0x01DC, 2, -1},
    {0x01DD, 0x01DD, 1, -79},  {0x01DF, 0x01EF, 2, -1},  {0x01F2, 0x01F2, 1, -1},
    {0x01F3, 0x01F3, 1, -2},   {0x01F5, 0x01F5, 1, -1},  {0x01F9, 0x021F, 2, -1},
    {0x0223, 0x0233, 2, -1},   {0x023C, 0x023C, 1, -1},  {0x023F, 0x0240, 1, 10815},
    {0x0242, 0x0242, 1, -1},   {0x0247, 0x024F, 2, -1},  {0x0371, 0x0373, 2, -1},
    {0x0377, 0x0377, 1, -1},   {0x037B, 0x037D, 1, 130}, {0x03AC, 0x03AC, 1, -38},
    {0x03AD, 0x03AF, 1, -37},  {0x03B1, 0x03C1, 1, -32}, {0x03C2, 0x03C2, 1, -31},
    {0x03C3, 0x03CB, 1, -32},  {0x03CC, 0x03CC, 1, -64}, {0x03CD, 0x03CE, 1, -63},
    {0x03D0, 0x03D0, 1, -62},  {0x03D1, 0x03D1, 1, -57}, {0x03D5, 0x03D5, 1, -47},
    {0x03D6, 0x03D6, 1, -54},  {0x03D7, 0x03D7, 1, -8},  {0x03D9, 0x03EF, 2, -1},
    {0x03F0, 0x03F0, 1, -86},  {0x03F1, 0x03F1, 1, -80}, {0x03F2, 0x03F2, 1, 7},
    {0x03F3, 0x03F3, 1, -116}, {0x03F5, 0x03F5, 1, -96}, {0x03F8, 0x03F8, 1, -1},
    {0x03FB, 0x03FB, 1, -1},   {0x0430, 0x044F, 1, -32}, {0x0450, 0x045F, 1, -80},
    {0x0461, 0x0481, 2, -1},   {0x048B, 0x04BF, 2, -1},  {0x04C2, 0x04CE, 2, -1},
    {0x04CF, 0x04CF, 1, -15},  {0x04D1, 0x052F, 2, -1},  {0x0561, 0x0586, 1, -48},
    {0x1E01, 0x1E95, 2, -1},   {0x1E9B, 0x1E9B, 1, -59}, {0x1EA1, 0x1EFF, 2, -1},
};

bool IsControl(uint32_t cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

bool IsForbiddenOnWindows(uint32_t cp) {
  return cp < 0x80 &&
         std::string_view("<>:\"/\\|?*").find(static_cast<char>(cp)) != std::string_view::npos;
}

// Windows opens a device for these names whatever follows the first dot, and ignores spaces
// before that dot: "CON", "con.txt" and "Con .tar.gz" are all the console.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  std::u32string key = FileNameKey(stem);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (key == FileNameKey(device)) return true;
  }
  // COM and LPT with one digit, or with a superscript one, two or three.
  if (key.size() != 4) return false;
  const std::u32string prefix = key.substr(0, 3);
  if (prefix != U"COM" && prefix != U"LPT") return false;
  const char32_t last = key[3];
  return (last >= U'0' && last <= U'9') || last == 0xB9 || last == 0xB2 || last == 0xB3;
}

}  // namespace

uint32_t UpperCaseCodePoint(uint32_t cp) {
  const auto* end = std::end(kUpperCaseRuns);
  const auto* run =
      std::upper_bound(std::begin(kUpperCaseRuns), end, cp,
                       [](uint32_t c, const TUpperCaseRun& r) { return c < r.First; });
  if (run == std::begin(kUpperCaseRuns)) return cp;
  --run;
  if (cp > run->Last || (cp - run->First) % run->Stride != 0) return cp;
  return static_cast<uint32_t>(static_cast<int64_t>(cp) + run->Delta);
}

std::u32string FileNameKey(std::string_view name) {
  std::u32string key;
  key.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    const TUtf8Sequence seq = ReadUtf8Sequence(name, i);
    if (seq.Valid) {
      key.push_back(static_cast<char32_t>(UpperCaseCodePoint(seq.CodePoint)));
    } else {
      // Kept apart from every code point: above the Unicode range.
      for (size_t k = 0; k < seq.Length; ++k) {
        key.push_back(static_cast<char32_t>(0x110000 + static_cast<uint8_t>(name[i + k])));
      }
    }
    i += seq.Length;
  }
  return key;
}

std::string FileNameFault(std::string_view name) {
  if (name.empty()) return "is empty";
  if (name == "." || name == "..") return "is \".\" or \"..\"";
  if (name.size() > MaxFileNameBytes) {
    return "is longer than " + std::to_string(MaxFileNameBytes) + " bytes";
  }
  for (size_t i = 0; i < name.size();) {
    const TUtf8Sequence seq = ReadUtf8Sequence(name, i);
    if (!seq.Valid || (seq.CodePoint >= 0xD800 && seq.CodePoint <= 0xDFFF) ||
        seq.CodePoint > 0x10FFFF) {
      return "is not valid UTF-8 text";
    }
    if (IsControl(seq.CodePoint)) return "holds a control character";
    if (IsForbiddenOnWindows(seq.CodePoint)) {
      return "holds a character Windows forbids in names (< > : \" / \\ | ? *)";
    }
    i += seq.Length;
  }
  if (name.back() == '.' || name.back() == ' ') return "ends in a dot or a space";
  if (IsDeviceName(name)) return "is the name of a Windows device";
  return {};
}

}  // namespace tovrin
