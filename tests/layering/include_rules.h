// The include rules of the source tree (tests/layering/layers.txt) and the check of a tree
// against them.
//
// A file belongs to the layer named by its folder; every quoted include is resolved to a file of
// the tree and must lie in the includer's own folder or in one the layer row allows. Headers in
// angle brackets are checked against the library rows only. A file in a folder no row names, and
// a quoted include that names no file, are faults too: the table must grow with the tree.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tovrin {

struct TIncludeRules {
  // Folder -> the folders its files may include from, besides itself.
  std::map<std::string, std::set<std::string>> Layers;
  struct TLibrary {
    std::vector<std::string> Prefixes;
    std::set<std::string> Folders;
  };
  std::vector<TLibrary> Libraries;
};

// Parses the text of layers.txt. Throws std::runtime_error naming the line that is not a row.
TIncludeRules ParseIncludeRules(const std::string& text);

// One file of the tree: its path from the root, with '/' separators, and its text.
struct TSourceFile {
  std::string Path;
  std::string Text;
};

struct TIncludeFault {
  std::string File;
  std::string Include;  // as written, with its quotes or brackets
  std::string Rule;     // what the include breaks, in words
};

// Checks every file in `checked` against the rules. Quoted includes resolve, in this order,
// against the includer's folder, then each of `searchDirs`, among the paths in `tree`.
std::vector<TIncludeFault> CheckIncludes(const TIncludeRules& rules,
                                         const std::vector<TSourceFile>& checked,
                                         const std::set<std::string>& tree,
                                         const std::vector<std::string>& searchDirs);

}  // namespace tovrin
