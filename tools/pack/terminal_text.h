// Text read from a package, made safe to print on a terminal.
//
// A crafted package could store names and strings holding terminal control sequences (an escape
// character starting a sequence that retitles the window, moves the cursor or worse). Every place
// that prints such text in a human form passes it through here; the JSON form keeps the exact
// values, which JSON's own escaping already makes harmless.
#pragma once

#include <string>
#include <string_view>

namespace tovrin {

// UTF-8 text with each control character shown as \xNN: the C0 characters (below 20 hex), DEL
// (7F) and the code points 80 to 9F (C1). Everything else, invalid UTF-8 included, is kept.
std::string TerminalText(std::string_view utf8);

}  // namespace tovrin
