// Value type codes of the component stream format. Every value is one code byte and a payload:
//
//   0 Null        none; ends every list          11 Set         short strings up to an empty one
//   1 List        values up to a Null            12 LString     4-byte length L, L bytes
//   2 Int8        1 byte signed                  13 Nil         none
//   3 Int16       2 bytes signed                 14 Collection  items up to a Null
//   4 Int32       4 bytes signed                 15 Single      4-byte IEEE single
//   5 Extended    10-byte 80-bit float           16 Currency    8 bytes, amount x 10000
//   6 String      short string                   17 Date        8-byte IEEE double
//   7 Ident       short string                   18 WString     4-byte count K, 2K bytes UTF-16
//   8 False       none                           19 Int64       8 bytes signed
//   9 True        none                           20 UTF8String  4-byte length L, L bytes UTF-8
//  10 Binary      4-byte length L, L bytes
//
// Integers are little-endian. A short string is a length byte N and N bytes.
#pragma once

#include <cstdint>

namespace tovrin {

enum class TValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};

inline constexpr uint8_t MaxValueType = 20;

// The four bytes every component stream starts with.
inline constexpr char FilerSignature[4] = {'T', 'P', 'F', '0'};

}  // namespace tovrin
