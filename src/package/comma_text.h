// The comma text of a string list, both ways.
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

#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

std::string CommaTextOf(const std::vector<std::string>& list);
std::vector<std::string> ParseCommaText(std::string_view text);

}  // namespace tovrin
