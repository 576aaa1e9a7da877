// Builds component streams byte by byte for reader tests.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/stream.h"

namespace tovrin::test {

class TBytes {
 public:
  TBytes& Sig() { return Raw("TPF0"); }
  TBytes& Byte(uint8_t b) {
    FBytes.push_back(b);
    return *this;
  }
  TBytes& Raw(std::string_view s) {
    FBytes.insert(FBytes.end(), s.begin(), s.end());
    return *this;
  }
  TBytes& Raw(const std::vector<uint8_t>& b) {
    FBytes.insert(FBytes.end(), b.begin(), b.end());
    return *this;
  }
  TBytes& Int16(int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    return Byte(static_cast<uint8_t>(u)).Byte(static_cast<uint8_t>(u >> 8));
  }
  TBytes& Int32(int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i) Byte(static_cast<uint8_t>(u >> (8 * i)));
    return *this;
  }
  TBytes& Short(std::string_view s) { return Byte(static_cast<uint8_t>(s.size())).Raw(s); }
  // Object header: class name and an empty object name.
  TBytes& Header(std::string_view cls) { return Short(cls).Short(""); }
  // A property name followed by the start of its value.
  TBytes& Prop(std::string_view name) { return Short(name); }
  TBytes& Int8Val(int8_t v) { return Byte(2).Byte(static_cast<uint8_t>(v)); }
  TBytes& Int16Val(int16_t v) { return Byte(3).Int16(v); }
  TBytes& Int32Val(int32_t v) { return Byte(4).Int32(v); }
  TBytes& StrVal(std::string_view s) { return Byte(6).Short(s); }
  TBytes& IdentVal(std::string_view s) { return Byte(7).Short(s); }
  TBytes& End() { return Byte(0); }

  const std::vector<uint8_t>& Bytes() const { return FBytes; }
  size_t Size() const { return FBytes.size(); }
  TMemoryStream Stream() const { return TMemoryStream(FBytes); }

 private:
  std::vector<uint8_t> FBytes;
};

}  // namespace tovrin::test
