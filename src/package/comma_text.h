// The comma text of a string list, both ways, and TCommaList, a string list kept packed.
//
// Writing: items joined with ","; an item holding a space, a character below space, a double
// quote or a comma is enclosed in double quotes with inner double quotes doubled. An empty list is
// "", a list of one empty item is "\"\"".
// Reading: leading blanks (space and control characters) are skipped; a quoted item runs to its
// closing quote (doubled quotes stand for one; no closing quote takes the rest); an unquoted item
// runs to the next comma or blank; after an item blanks are skipped, a comma ends it and the
// blanks after the comma are skipped too. So an unquoted space splits an item, two commas give an
// empty item, and a trailing comma gives an empty last item.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

std::string CommaTextOf(const std::vector<std::string>& list);
std::vector<std::string> ParseCommaText(std::string_view text);

// A string list read from comma text and kept packed: the characters of every item in one
// string, and where each item ends. A package may hold lists of millions of entries (picture
// offsets, names); packed they cost their own bytes and 4 more per item, where a vector of
// strings costs 32 or more per item. Items() turns the list into a vector of strings, for code
// that changes it (the authoring tools); from then on the vector is the list.
//
// Main thread only: the const Items() changes the representation (never the content).
class TCommaList {
 public:
  TCommaList() = default;

  // Replaces the list by the items of text (the reading rules above).
  void SetCommaText(std::string_view text);
  // The comma text of the list (the writing rules above).
  std::string CommaText() const;

  size_t size() const { return FExpanded ? FItems.size() : FEnds.size(); }
  // Item i (i < size()); valid until the list is changed or expanded.
  std::string_view At(size_t i) const;

  // The list as a vector of strings, to read or change.
  std::vector<std::string>& Items();
  const std::vector<std::string>& Items() const;

 private:
  void Expand() const;

  // The packed form (while FExpanded is false).
  mutable std::string FChars;
  mutable std::vector<uint32_t> FEnds;
  // The expanded form.
  mutable bool FExpanded = false;
  mutable std::vector<std::string> FItems;
};

}  // namespace tovrin
