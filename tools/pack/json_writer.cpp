#include "json_writer.h"

#include <cassert>

namespace tovrin {

std::string JsonQuote(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(utf8.size() + 2);
  out += '"';
  for (char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (b < 0x20) {
          out += "\\u00";
          out += kHex[b >> 4];
          out += kHex[b & 0x0F];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

void TJsonWriter::BeforeValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (!FHasMembers.empty()) {
    if (FHasMembers.back()) FText += ", ";
    FHasMembers.back() = true;
  }
}

void TJsonWriter::BeginObject() {
  BeforeValue();
  FText += '{';
  FHasMembers.push_back(false);
}

void TJsonWriter::EndObject() {
  assert(!FHasMembers.empty() && !FAfterKey);
  FHasMembers.pop_back();
  FText += '}';
}

void TJsonWriter::BeginArray() {
  BeforeValue();
  FText += '[';
  FHasMembers.push_back(false);
}

void TJsonWriter::EndArray() {
  assert(!FHasMembers.empty() && !FAfterKey);
  FHasMembers.pop_back();
  FText += ']';
}

void TJsonWriter::Key(std::string_view name) {
  assert(!FAfterKey);
  BeforeValue();
  FText += JsonQuote(name);
  FText += ": ";
  FAfterKey = true;
}

void TJsonWriter::String(std::string_view utf8) {
  BeforeValue();
  FText += JsonQuote(utf8);
}

void TJsonWriter::Number(int64_t value) {
  BeforeValue();
  FText += std::to_string(value);
}

void TJsonWriter::Bool(bool value) {
  BeforeValue();
  FText += value ? "true" : "false";
}

}  // namespace tovrin
