#include "include_rules.h"

#include <sstream>
#include <stdexcept>

namespace tovrin {

namespace {

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Joined(const std::set<std::string>& folders) {
  std::string text;
  for (const std::string& f : folders) text += (text.empty() ? "" : ", ") + f;
  return text.empty() ? "nothing of the tree" : text;
}

// The includes of a file's text: the name between the quotes or brackets, and which they were.
struct TInclude {
  std::string Name;
  bool Quoted = false;
};
std::vector<TInclude> IncludesOf(const std::string& text) {
  std::vector<TInclude> includes;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#') continue;
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0) continue;
    i = line.find_first_not_of(" \t", i + 7);
    if (i == std::string::npos || (line[i] != '"' && line[i] != '<')) continue;
    const char close = line[i] == '"' ? '"' : '>';
    const size_t end = line.find(close, i + 1);
    if (end == std::string::npos) continue;
    includes.push_back({line.substr(i + 1, end - i - 1), close == '"'});
  }
  return includes;
}

// Resolves "a/../b" and "./" steps of a joined path; "" when it climbs above the root.
std::string Normalised(const std::string& path) {
  std::vector<std::string> parts;
  std::istringstream in(path);
  for (std::string part; std::getline(in, part, '/');) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else {
      parts.push_back(part);
    }
  }
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

}  // namespace

TIncludeRules ParseIncludeRules(const std::string& text) {
  TIncludeRules rules;
  std::istringstream in(text);
  std::string section;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    if (Words(line).empty()) continue;
    if (line.front() == '[') {
      section = Words(line).front();
      continue;
    }
    const size_t colon = line.find(':');
    const std::vector<std::string> keys = Words(line.substr(0, colon));
    if (colon == std::string::npos || keys.empty() ||
        (section != "[layers]" && section != "[libraries]") ||
        (section == "[layers]" && keys.size() != 1)) {
      throw std::runtime_error("layers.txt line " + std::to_string(number) + " is not a row");
    }
    const std::vector<std::string> values = Words(line.substr(colon + 1));
    if (section == "[layers]") {
      rules.Layers[keys.front()] = {values.begin(), values.end()};
    } else {
      rules.Libraries.push_back({keys, {values.begin(), values.end()}});
    }
  }
  return rules;
}

std::vector<TIncludeFault> CheckIncludes(const TIncludeRules& rules,
                                         const std::vector<TSourceFile>& checked,
                                         const std::set<std::string>& tree,
                                         const std::vector<std::string>& searchDirs) {
  std::vector<TIncludeFault> faults;
  for (const TSourceFile& file : checked) {
    const std::string folder = FolderOf(file.Path);
    const auto layer = rules.Layers.find(folder);
    if (layer == rules.Layers.end()) {
      faults.push_back({file.Path, "", "its folder " + folder + " is in no layer of layers.txt"});
      continue;
    }
    // Quoted includes resolve against the file's own folder first, then the search folders.
    std::vector<std::string> dirs{folder};
    dirs.insert(dirs.end(), searchDirs.begin(), searchDirs.end());
    for (const TInclude& include : IncludesOf(file.Text)) {
      const std::string written =
          include.Quoted ? '"' + include.Name + '"' : '<' + include.Name + '>';
      if (!include.Quoted) {
        for (const TIncludeRules::TLibrary& library : rules.Libraries) {
          for (const std::string& prefix : library.Prefixes) {
            if (include.Name.rfind(prefix, 0) == 0 && !library.Folders.count(folder)) {
              faults.push_back({file.Path, written,
                                prefix + "* may be included only in " + Joined(library.Folders)});
            }
          }
        }
        continue;
      }
      std::string target;
      for (const std::string& dir : dirs) {
        const std::string candidate =
            Normalised(dir.empty() ? include.Name : dir + "/" + include.Name);
        if (!candidate.empty() && tree.count(candidate)) {
          target = candidate;
          break;
        }
      }
      if (target.empty()) {
        faults.push_back({file.Path, written, "names no file of the tree"});
        continue;
      }
      const std::string targetFolder = FolderOf(target);
      if (targetFolder != folder && !layer->second.count(targetFolder)) {
        faults.push_back({file.Path, written,
                          folder + " may include only from itself and " + Joined(layer->second) +
                              ", not from " + targetFolder});
      }
    }
  }
  return faults;
}

}  // namespace tovrin
