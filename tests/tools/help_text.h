// Checks of the tools' --help texts, shared by the tests of both tools.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace tovrin::test {

// The option entries of a help text that give neither a default nor REQUIRED. An entry starts
// with a line indented by two spaces and a "-"; lines indented further continue it.
inline std::vector<std::string> OptionsWithoutDefault(const std::string& help) {
  std::vector<std::string> entries;
  std::istringstream lines(help);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("  -", 0) == 0) {
      entries.push_back(line);
    } else if (line.rfind("      ", 0) == 0 && !entries.empty()) {
      entries.back() += line;
    }
  }
  std::vector<std::string> missing;
  for (const std::string& entry : entries) {
    if (entry.rfind("  -h,--help", 0) == 0 || entry.rfind("  --version", 0) == 0) continue;
    if (entry.find("(default: ") == std::string::npos &&
        entry.find("REQUIRED") == std::string::npos) {
      missing.push_back(entry);
    }
  }
  return missing;
}

// The number of option entries, to show the check above looked at something.
inline size_t OptionEntryCount(const std::string& help) {
  std::istringstream lines(help);
  std::string line;
  size_t count = 0;
  while (std::getline(lines, line)) count += line.rfind("  -", 0) == 0 ? 1 : 0;
  return count;
}

}  // namespace tovrin::test
