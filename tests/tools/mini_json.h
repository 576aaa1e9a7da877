// A minimal JSON reader for checking the tool's --json output in tests: objects keep their member
// order, so the shape (names and their order) can be compared exactly.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin::test {

struct TJson {
  enum class TKind { jNull, jBool, jNumber, jString, jArray, jObject };
  TKind Kind = TKind::jNull;
  bool Bool = false;
  int64_t Number = 0;  // the tool writes integers only
  std::string String;
  std::vector<TJson> Items;
  // Object members in order: names and values side by side (a pair would need TJson complete).
  std::vector<std::string> MemberNames;
  std::vector<TJson> MemberValues;

  // The member of that name; fails the calling test (throws) when there is none.
  const TJson& operator[](std::string_view name) const;
  const TJson& operator[](size_t index) const { return Items.at(index); }
  const std::vector<std::string>& Names() const { return MemberNames; }
};

// Parses a whole text; throws std::runtime_error with the position on malformed input.
TJson ParseJson(std::string_view text);

}  // namespace tovrin::test
