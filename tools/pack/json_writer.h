// A small writer of JSON text, used for `inspect --json`.
//
// Members and elements are separated by ", " and names from values by ": ", all on one line, so
// the output reads as {"packageLength": 5, "settings": {...}}. Strings must be UTF-8; they are
// escaped as JSON requires (quotes, backslashes and every control character).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

// The JSON string literal for UTF-8 text, quotes included.
std::string JsonQuote(std::string_view utf8);

class TJsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  // The name of the next member of the innermost object.
  void Key(std::string_view name);
  void String(std::string_view utf8);
  void Number(int64_t value);
  void Bool(bool value);

  const std::string& Text() const { return FText; }

 private:
  // Writes the separator a new value needs at the current place.
  void BeforeValue();

  std::string FText;
  std::vector<bool> FHasMembers;  // one entry per open object or array
  bool FAfterKey = false;
};

}  // namespace tovrin
