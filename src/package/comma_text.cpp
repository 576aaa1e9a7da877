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

// A character that continues an unquoted item: neither blank nor a comma.
bool IsUnquotedChar(char c) {
  return static_cast<unsigned char>(c) > ' ' && c != ',';
}

// Appends item as the comma text writes it.
void AppendCommaItem(std::string& text, std::string_view item) {
  if (!NeedsQuotes(item)) {
    text += item;
    return;
  }
  text.push_back('"');
  for (const char c : item) {
    if (c == '"') text.push_back('"');
    text.push_back(c);
  }
  text.push_back('"');
}

// The comma text of count items, item(i) giving each.
template <typename F>
std::string CommaTextOfItems(size_t count, F&& item) {
  if (count == 1 && item(0).empty()) return "\"\"";
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    if (i != 0) text.push_back(',');
    AppendCommaItem(text, item(i));
  }
  return text;
}

}  // namespace

std::string CommaTextOf(const std::vector<std::string>& list) {
  return CommaTextOfItems(list.size(), [&](size_t i) { return std::string_view(list[i]); });
}

namespace {

// Calls onItem(item) for each item of text, in order; item is valid during the call only.
template <typename F>
void ForEachCommaItem(std::string_view text, F&& onItem) {
  // A zero byte ends the text, as it ends a character string in the format's origin.
  text = text.substr(0, text.find('\0'));
  std::string item;
  size_t p = 0;
  const size_t end = text.size();
  while (p < end && IsBlank(text[p])) ++p;
  while (p < end) {
    item.clear();
    std::string_view value;
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
      value = item;
    } else {
      // An unquoted item is handed over in place.
      const size_t start = p;
      while (p < end && IsUnquotedChar(text[p])) ++p;
      value = text.substr(start, p - start);
    }
    onItem(value);
    while (p < end && IsBlank(text[p])) ++p;
    if (p < end && text[p] == ',') {
      // A comma that ends the text opens one more, empty item.
      if (p + 1 == end) onItem(std::string_view());
      ++p;
      while (p < end && IsBlank(text[p])) ++p;
    }
  }
}

}  // namespace

std::vector<std::string> ParseCommaText(std::string_view text) {
  std::vector<std::string> list;
  ForEachCommaItem(text, [&](std::string_view item) { list.emplace_back(item); });
  return list;
}

void TCommaList::SetCommaText(std::string_view text) {
  FExpanded = false;
  FItems = {};
  FChars.clear();
  FEnds.clear();
  // The packed text is never longer than the comma text, which a package stores with a 32-bit
  // length: every end fits in 32 bits.
  ForEachCommaItem(text, [this](std::string_view item) {
    FChars.append(item);
    FEnds.push_back(static_cast<uint32_t>(FChars.size()));
  });
  FChars.shrink_to_fit();
  FEnds.shrink_to_fit();
}

std::string TCommaList::CommaText() const {
  return CommaTextOfItems(size(), [this](size_t i) { return At(i); });
}

std::string_view TCommaList::At(size_t i) const {
  if (FExpanded) return FItems[i];
  const size_t start = i == 0 ? 0 : FEnds[i - 1];
  return std::string_view(FChars).substr(start, FEnds[i] - start);
}

void TCommaList::Expand() const {
  if (FExpanded) return;
  FItems.clear();
  FItems.reserve(FEnds.size());
  for (size_t i = 0; i < FEnds.size(); ++i) FItems.emplace_back(At(i));
  FExpanded = true;
  FChars = {};
  FEnds = {};
}

std::vector<std::string>& TCommaList::Items() {
  Expand();
  return FItems;
}

const std::vector<std::string>& TCommaList::Items() const {
  Expand();
  return FItems;
}

}  // namespace tovrin
