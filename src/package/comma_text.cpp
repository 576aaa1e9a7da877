#include "package/comma_text.h"

namespace tovrin {

namespace {

bool NeedsQuotes(std::string_view item) {
  for (const char c : item) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
  }
  return false;
}

bool IsBlank(char c) {
  return c != '\0' && static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

std::string CommaTextOf(const std::vector<std::string>& list) {
  if (list.size() == 1 && list[0].empty()) return "\"\"";
  std::string text;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i != 0) text.push_back(',');
    const std::string& item = list[i];
    if (!NeedsQuotes(item)) {
      text += item;
      continue;
    }
    text.push_back('"');
    for (const char c : item) {
      if (c == '"') text.push_back('"');
      text.push_back(c);
    }
    text.push_back('"');
  }
  return text;
}

std::vector<std::string> ParseCommaText(std::string_view text) {
  // A zero byte ends the text, as it ends a character string in the format's origin.
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> list;
  size_t p = 0;
  const size_t end = text.size();
  while (p < end && IsBlank(text[p])) ++p;
  while (p < end) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < end) {
        if (text[p] == '"') {
          if (p + 1 < end && text[p + 1] == '"') {
            item.push_back('"');
            p += 2;
            continue;
          }
          ++p;  // the closing quote
          break;
        }
        item.push_back(text[p++]);
      }
    } else {
      const size_t start = p;
      while (p<end&& static_cast<unsigned char>(text[p])> ' ' && text[p] != ',') ++p;
      item.assign(text.substr(start, p - start));
    }
    list.push_back(std::move(item));
    while (p < end && IsBlank(text[p])) ++p;
    if (p < end && text[p] == ',') {
      // A comma that ends the text opens one more, empty item.
      if (p + 1 == end) list.emplace_back();
      ++p;
      while (p < end && IsBlank(text[p])) ++p;
    }
  }
  return list;
}

}  // namespace tovrin
