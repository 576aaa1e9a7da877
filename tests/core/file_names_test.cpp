#include "core/file_names.h"

#include <gtest/gtest.h>

#include <string>

namespace tovrin {
namespace {

TEST(FileNamesTest, WhatAFileNameMayNotBe) {
  struct TCase {
    std::string Name;
    const char* Fault;  // a word of the reason; nullptr: the name is safe
  };
  const TCase cases[] = {
      {"a.mp3", nullptr},
      {"my song.mid", nullptr},
      {"..a", nullptr},
      {".profile", nullptr},  // hidden, but a plain name
      {"\xC3\x84rger.wav", nullptr},
      {"\xCE\xA9mega \xD0\x96.wav", nullptr},  // Greek and Cyrillic
      {"CONSOLE.wav", nullptr},
      {"COM10.wav", nullptr},
      {"LPT.wav", nullptr},
      {"xnul.wav", nullptr},
      {"nul-song.wav", nullptr},
      {std::string(255, 'a'), nullptr},
      {"", "empty"},
      {".", "\"..\""},
      {"..", "\"..\""},
      {std::string(256, 'a'), "longer"},
      // 128 two-byte letters: 128 UTF-16 units, but 256 bytes on Linux.
      {[] {
         std::string s;
         for (int i = 0; i < 128; ++i) s += "\xC3\xA9";
         return s;
       }(),
       "longer"},
      {"a\nb.wav", "control"},
      {"a\x7f.wav", "control"},
      {"a\xC2\x85.wav", "control"},  // U+0085, a C1 control
      {"\xC3(.wav", "UTF-8"},
      {"\xED\xA0\x80.wav", "UTF-8"},  // a surrogate
      {"../up.wav", "forbids"},
      {"sub/a.wav", "forbids"},
      {"a\\b.wav", "forbids"},
      {"C:a.wav", "forbids"},
      {"a<b.wav", "forbids"},
      {"a>b.wav", "forbids"},
      {"a\"b.wav", "forbids"},
      {"a|b.wav", "forbids"},
      {"what?.wav", "forbids"},
      {"*.wav", "forbids"},
      {"song.", "dot or a space"},
      {"song.wav ", "dot or a space"},
      {"CON", "device"},
      {"con", "device"},
      {"Nul.txt", "device"},
      {"nul.tar.gz", "device"},
      {"AUX .wav", "device"},
      {"prn", "device"},
      {"COM1.wav", "device"},
      {"com9", "device"},
      {"Lpt1.mid", "device"},
      {"COM0", "device"},
      {"LPT\xC2\xB9.wav", "device"},  // LPT with a superscript one
      {"com\xC2\xB3", "device"},
      {"conin$", "device"},
      {"CONOUT$.txt", "device"},
  };
  for (const TCase& c : cases) {
    const std::string fault = FileNameFault(c.Name);
    if (c.Fault == nullptr) {
      EXPECT_EQ(fault, "") << c.Name;
      EXPECT_TRUE(IsSafeFileName(c.Name)) << c.Name;
    } else {
      EXPECT_NE(fault.find(c.Fault), std::string::npos) << c.Name << ": " << fault;
      EXPECT_FALSE(IsSafeFileName(c.Name)) << c.Name;
    }
  }
}

TEST(FileNamesTest, KeysIgnoreLetterCaseAsWindowsDoes) {
  struct TCase {
    const char* A;
    const char* B;
    bool Same;
  };
  const TCase cases[] = {
      {"song.WAV", "SONG.wav", true},
      {"\xC3\x84rger.wav", "\xC3\xA4RGER.WAV", true},  // Latin-1: Ä and ä
      {"\xC3\xBF", "\xC5\xB8", true},                  // ÿ and Ÿ, across blocks
      {"\xC5\x93uvre", "\xC5\x92UVRE", true},          // Latin Extended-A: œ and Œ
      {"\xC5\xA1", "\xC5\xA0", true},                  // š and Š
      {"\xC6\x92", "\xC6\x91", true},                  // Latin Extended-B: ƒ and Ƒ
      {"\xC7\x86", "\xC7\x84", true},                  // ǆ and Ǆ
      {"\xCE\xB1\xCF\x89", "\xCE\x91\xCE\xA9", true},  // Greek: αω and ΑΩ
      {"\xCF\x82", "\xCE\xA3", true},                  // final sigma
      {"\xCE\xAC", "\xCE\x86", true},                  // ά and Ά
      {"\xD0\xB6\xD1\x91", "\xD0\x96\xD0\x81", true},  // Cyrillic: жё and ЖЁ
      {"\xD1\x97", "\xD0\x87", true},                  // ї and Ї
      {"\xD3\x91", "\xD3\x90", true},                  // ӑ and Ӑ
      {"\xE1\xBA\xA1", "\xE1\xBA\xA0", true},          // Vietnamese ạ and Ạ
      {"a.wav", "b.wav", false},
      {"\xC3\x9F", "SS", false},        // ß is never expanded
      {"\xC3\xB7", "\xC3\x97", false},  // ÷ and × are not a letter pair
      {"\xC4\xB0", "i", false},         // İ stays apart from i
      {"\xC3\xA9", "e", false},         // accents count
      {"\xC3", "\xC3\x83", false},      // a stray byte is no letter
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(FileNameKey(c.A) == FileNameKey(c.B), c.Same) << c.A << " / " << c.B;
  }
  // Every letter of the runs upper-cases to a code point that stays put.
  for (uint32_t cp = 0; cp < 0x2000; ++cp) {
    const uint32_t upper = UpperCaseCodePoint(cp);
    EXPECT_EQ(UpperCaseCodePoint(upper), upper) << std::hex << cp;
  }
}

}  // namespace
}  // namespace tovrin
