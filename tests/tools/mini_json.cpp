#include "mini_json.h"

#include <stdexcept>

namespace tovrin::test {

namespace {

class TParser {
 public:
  explicit TParser(std::string_view text) : FText(text) {}

  TJson Document() {
    TJson value = Value();
    Blanks();
    if (FPos != FText.size()) Fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at " + std::to_string(FPos));
  }
  void Blanks() {
    while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\n' ||
                                   FText[FPos] == '\r' || FText[FPos] == '\t')) {
      ++FPos;
    }
  }
  char Peek() {
    Blanks();
    if (FPos >= FText.size()) Fail("unexpected end");
    return FText[FPos];
  }
  void Expect(char c) {
    if (Peek() != c) Fail(std::string("expected '") + c + "'");
    ++FPos;
  }
  bool Word(std::string_view w) {
    if (FText.substr(FPos, w.size()) != w) return false;
    FPos += w.size();
    return true;
  }

  std::string StringLiteral() {
    Expect('"');
    std::string out;
    while (true) {
      if (FPos >= FText.size()) Fail("unterminated string");
      const char c = FText[FPos++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) Fail("raw control character in string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (FPos >= FText.size()) Fail("unterminated escape");
      const char e = FText[FPos++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          if (FPos + 4 > FText.size()) Fail("short \\u escape");
          const unsigned cp = std::stoul(std::string(FText.substr(FPos, 4)), nullptr, 16);
          FPos += 4;
          if (cp >= 0x80) Fail("\\u escape above 7F (the tool writes UTF-8 directly)");
          out += static_cast<char>(cp);
          break;
        }
        default:
          Fail("bad escape");
      }
    }
  }

  TJson Value() {
    TJson v;
    const char c = Peek();
    if (c == '{') {
      v.Kind = TJson::TKind::jObject;
      ++FPos;
      if (Peek() == '}') return ++FPos, v;
      while (true) {
        v.MemberNames.push_back(StringLiteral());
        Expect(':');
        v.MemberValues.push_back(Value());
        if (Peek() == ',') {
          ++FPos;
          continue;
        }
        Expect('}');
        return v;
      }
    }
    if (c == '[') {
      v.Kind = TJson::TKind::jArray;
      ++FPos;
      if (Peek() == ']') return ++FPos, v;
      while (true) {
        v.Items.push_back(Value());
        if (Peek() == ',') {
          ++FPos;
          continue;
        }
        Expect(']');
        return v;
      }
    }
    if (c == '"') {
      v.Kind = TJson::TKind::jString;
      v.String = StringLiteral();
      return v;
    }
    if (Word("true")) {
      v.Kind = TJson::TKind::jBool;
      v.Bool = true;
      return v;
    }
    if (Word("false")) {
      v.Kind = TJson::TKind::jBool;
      return v;
    }
    if (Word("null")) return v;
    size_t used = 0;
    v.Kind = TJson::TKind::jNumber;
    try {
      v.Number = std::stoll(std::string(FText.substr(FPos, 24)), &used);
    } catch (const std::exception&) {
      Fail("bad value");
    }
    FPos += used;
    if (FPos < FText.size() && (FText[FPos] == '.' || FText[FPos] == 'e')) Fail("not an integer");
    return v;
  }

  std::string_view FText;
  size_t FPos = 0;
};

}  // namespace

const TJson& TJson::operator[](std::string_view name) const {
  for (size_t i = 0; i < MemberNames.size(); ++i) {
    if (MemberNames[i] == name) return MemberValues[i];
  }
  throw std::runtime_error("JSON: no member \"" + std::string(name) + "\"");
}

TJson ParseJson(std::string_view text) {
  return TParser(text).Document();
}

}  // namespace tovrin::test
