// The component stream reader.
//
//   stream  := "TPF0" object
//   object  := [prefix] class:shortstr name:shortstr property* 00 object* 00
//   prefix  := byte >= F0 (low bits: 1 inherited, 2 position follows, 4 inline)
//              [integer value when bit 2 is set]
//   property:= name:shortstr value      (name may be a dotted path, "Picture.Data")
//
// ReadObjectStream reads one such stream. Failures raise, with these messages:
//   "Invalid stream format"        the signature is not "TPF0"
//   "Stream read error"            the stream ends early, or a length field exceeds what is left
//   "Class %s not found"           (EFilerError) reading without an instance, unknown class
//   "Invalid property value"       a value code the property kind does not accept, or a code
//                                  above 20 where a value is skipped
//   "Invalid property path"        a dotted path part that does not lead to an object
//   "Property is read-only"        a published property without a setter
//   "Nesting too deep"             (EUnsafeContent) lists, collections or children nested
//                                  deeper than MaxNestingDepth
// A failure inside one property is wrapped as "Error reading %s%s%s: %s" (object name or class
// name, ".", property path, first message), keeping the exception's class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "package/persistent.h"
#include "package/stream.h"
#include "package/value_type.h"

namespace tovrin {

// Reads values from a stream through a 4096-byte buffer. When the reader is destroyed (or
// FlushBuffer is called) the stream is moved back to the first byte the reader has not consumed.
class TReader {
 public:
  static constexpr size_t BufferSize = 4096;
  static constexpr int MaxNestingDepth = 64;

  explicit TReader(TStream& stream);
  ~TReader();
  TReader(const TReader&) = delete;
  TReader& operator=(const TReader&) = delete;

  // Bytes the reader has not consumed yet, up to the end of the stream.
  int64_t Remaining() const;
  // Moves the stream to the first unconsumed byte and empties the buffer.
  void FlushBuffer();

  void Read(void* buffer, size_t count);  // exactly count bytes, or "Stream read error"
  uint8_t ReadByte();
  int32_t ReadInt32Raw();
  // Reads count bytes after checking that the stream still holds them ("Stream read error"
  // otherwise, without allocating).
  std::vector<uint8_t> ReadBytes(int64_t count);
  void SkipBytes(int64_t count);
  std::string ReadShortString();

  TValueType ReadValue();  // the code byte; codes above 20 are returned as they are
  TValueType NextValue();  // the code byte, not consumed
  bool EndOfList();        // true when the next byte is 00 (not consumed)
  void ReadListEnd();      // consumes a 00 byte, or fails with "Invalid property value"

  // Typed readers: each reads a whole value (code and payload). A code the reader does not accept
  // fails with "Invalid property value".
  int32_t ReadInteger();     // Int8, Int16, Int32
  std::string ReadString();  // String, LString, WString, UTF8String (as Windows-1252)
  std::string ReadIdent();   // Ident, False, True, Nil, Null (the last four by their names)

  // Skips one whole value (code and payload).
  void SkipValue();
  // Skips a whole object record (prefix, class, name, properties, children).
  void SkipComponent();

  // Reads the object record of the root: prefix, class and name, properties, children. Used by
  // ReadObjectStream after the signature.
  void ReadRootObject(TPersistent* instance, std::unique_ptr<TPersistent>& created);

 private:
  void Fill();
  void ReadPrefix();
  void ReadProperties(TPersistent& root);
  void ReadProperty(TPersistent& root);
  void ReadPropValue(TPersistent& object, const TPropInfo& prop);
  void SkipValueAt(int depth);
  void SkipPropertyList(int depth);
  void SkipComponentAt(int depth);

  TStream& FStream;
  std::vector<uint8_t> FBuffer;
  size_t FBufPos = 0;
  size_t FBufEnd = 0;
  int64_t FStreamEnd = 0;  // stream size when the reader was made
};

// Reads one component stream at the stream's position. With instance == nullptr, creates the
// object of the class named in the stream (registered with RegisterStreamClass) and returns it;
// with an instance, fills it (the stream's class name is read and ignored) and returns nullptr.
// Afterwards the stream stands right after the object. On failure an object it created is
// destroyed; an instance keeps the values assigned before the failure.
std::unique_ptr<TPersistent> ReadObjectStream(TStream& stream, TPersistent* instance);

// The same, for a caller that expects a given class: creates the object and checks its class
// (EFilerError "Invalid stream format" when the stream holds another class).
template <class T>
std::unique_ptr<T> ReadObjectStreamAs(TStream& stream) {
  std::unique_ptr<TPersistent> obj = ReadObjectStream(stream, nullptr);
  if (!obj->ClassInfo().InheritsFrom(T::StaticClassInfo())) {
    throw EFilerError("Invalid stream format");
  }
  return std::unique_ptr<T>(static_cast<T*>(obj.release()));
}

// Converts little-endian 80-bit extended precision to double (out of range: +-infinity; NaN
// stays NaN).
double ExtendedToDouble(const uint8_t bytes[10]);
// And back (used by the writer and by tests).
void DoubleToExtended(double value, uint8_t bytes[10]);

}  // namespace tovrin
