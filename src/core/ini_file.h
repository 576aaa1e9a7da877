// INI files: sections of key=value lines, looked up without regard to ASCII letter case.
//
// The file is read when the object is made (a missing file reads as empty) and written back whole
// by every Write call, so a value written is on disk at once, as the Windows profile functions do.
// A write replaces the file in one step (see TOutputFile): a failure leaves the old file as it was.
// The file name is UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

class TIniFile {
 public:
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return FFileName; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // A stored integer other than 0 is true; a missing or non-numeric value gives defaultValue.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSection(std::string_view section) const;  // keys in file order
  std::vector<std::string> ReadSections() const;

  // Write the value and save the file; raises EFCreateError when the file cannot be written (the
  // file on disk is then unchanged).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" or "0"

 private:
  struct TEntry {
    std::string Key;
    std::string Value;
  };
  struct TSection {
    std::string Name;
    std::vector<TEntry> Entries;
  };
  const TSection* FindSection(std::string_view name) const;
  const TEntry* FindEntry(std::string_view section, std::string_view key) const;
  void Save() const;

  std::string FFileName;
  std::vector<TSection> FSections;
};

}  // namespace tovrin
