#include "core/ini_file.h"

#include <fstream>
#include <sstream>

#include "core/conversions.h"
#include "core/errors.h"
#include "core/paths.h"

namespace tovrin {

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) {
  std::ifstream in(PathFromUtf8(FFileName), std::ios::binary);
  if (!in) return;
  std::string line;
  TSection* current = nullptr;
  while (std::getline(in, line)) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] == ';') continue;
    if (text.front() == '[') {
      const size_t close = text.find(']');
      FSections.push_back(
          {text.substr(1, close == std::string::npos ? std::string::npos : close - 1), {}});
      current = &FSections.back();
      continue;
    }
    const size_t eq = text.find('=');
    if (current == nullptr || eq == std::string::npos) continue;
    current->Entries.push_back({Trim(text.substr(0, eq)), Trim(text.substr(eq + 1))});
  }
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view name) const {
  for (const TSection& s : FSections) {
    if (SameText(s.Name, name)) return &s;
  }
  return nullptr;
}

const TIniFile::TEntry* TIniFile::FindEntry(std::string_view section, std::string_view key) const {
  const TSection* s = FindSection(section);
  if (s == nullptr) return nullptr;
  for (const TEntry& e : s->Entries) {
    if (SameText(e.Key, key)) return &e;
  }
  return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue) const {
  const TEntry* e = FindEntry(section, key);
  return e != nullptr ? e->Value : std::string(defaultValue);
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
  const TEntry* e = FindEntry(section, key);
  if (e == nullptr) return defaultValue;
  const auto value = TryStrToInt(e->Value);
  return value ? *value != 0 : defaultValue;
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return FindEntry(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  if (const TSection* s = FindSection(section)) {
    for (const TEntry& e : s->Entries) keys.push_back(e.Key);
  }
  return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const TSection& s : FSections) names.push_back(s.Name);
  return names;
}

void TIniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  TSection* s = const_cast<TSection*>(FindSection(section));
  if (s == nullptr) {
    FSections.push_back({std::string(section), {}});
    s = &FSections.back();
  }
  TEntry* e = const_cast<TEntry*>(FindEntry(section, key));
  if (e != nullptr) {
    e->Value = std::string(value);
  } else {
    s->Entries.push_back({std::string(key), std::string(value)});
  }
  Save();
}

void TIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TIniFile::Save() const {
  std::ostringstream out;
  for (size_t i = 0; i < FSections.size(); ++i) {
    if (i > 0) out << "\r\n";
    out << '[' << FSections[i].Name << "]\r\n";
    for (const TEntry& e : FSections[i].Entries) out << e.Key << '=' << e.Value << "\r\n";
  }
  std::ofstream file(PathFromUtf8(FFileName), std::ios::binary | std::ios::trunc);
  const std::string text = out.str();
  if (!file || !file.write(text.data(), static_cast<std::streamsize>(text.size())) || !file.flush())
    throw EFCreateError("Cannot create file " + FFileName);
}

}  // namespace tovrin
