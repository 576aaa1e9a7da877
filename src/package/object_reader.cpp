#include "package/object_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/ansi_text.h"
#include "core/conversions.h"
#include "package/ident_maps.h"

namespace tovrin {

namespace {

[[noreturn]] void ReadError() {
  throw EReadError("Stream read error");
}
[[noreturn]] void PropValueError() {
  throw EReadError("Invalid property value");
}
[[noreturn]] void PropPathError() {
  throw EReadError("Invalid property path");
}

void CheckDepth(int depth) {
  if (depth > TReader::MaxNestingDepth) throw EUnsafeContent("Nesting too deep");
}

// Raises a copy of e, of the same class, with a new message.
[[noreturn]] void RethrowWithMessage(const Exception& e, const std::string& message) {
  if (dynamic_cast<const EFilerError*>(&e)) throw EFilerError(message);
  if (dynamic_cast<const EReadError*>(&e)) throw EReadError(message);
  if (dynamic_cast<const EFOpenError*>(&e)) throw EFOpenError(message);
  if (dynamic_cast<const EFCreateError*>(&e)) throw EFCreateError(message);
  if (dynamic_cast<const EWriteError*>(&e)) throw EWriteError(message);
  if (dynamic_cast<const EStreamError*>(&e)) throw EStreamError(message);
  if (dynamic_cast<const EListError*>(&e)) throw EListError(message);
  if (dynamic_cast<const EConvertError*>(&e)) throw EConvertError(message);
  if (dynamic_cast<const EInvalidGraphic*>(&e)) throw EInvalidGraphic(message);
  if (dynamic_cast<const EOutOfResources*>(&e)) throw EOutOfResources(message);
  if (dynamic_cast<const EUnsafeContent*>(&e)) throw EUnsafeContent(message);
  throw Exception(message);
}

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t dot = path.find('.', start);
    if (dot == std::string_view::npos) {
      parts.push_back(path.substr(start));
      return parts;
    }
    parts.push_back(path.substr(start, dot - start));
    start = dot + 1;
  }
}

bool IsIntegerCode(TValueType t) {
  return t == TValueType::vaInt8 || t == TValueType::vaInt16 || t == TValueType::vaInt32;
}

bool IsStringCode(TValueType t) {
  return t == TValueType::vaString || t == TValueType::vaLString || t == TValueType::vaWString ||
         t == TValueType::vaUTF8String;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Buffered byte access

TReader::TReader(TStream& stream) : FStream(stream), FBuffer(BufferSize) {
  FStreamEnd = FStream.Size();
}

TReader::~TReader() {
  try {
    FlushBuffer();
  } catch (const Exception&) {
    // A stream that cannot seek back leaves its position where the buffer left it.
  }
}

void TReader::FlushBuffer() {
  const size_t unread = FBufEnd - FBufPos;
  if (unread != 0) FStream.Seek(-static_cast<int64_t>(unread), TSeekOrigin::soCurrent);
  FBufPos = FBufEnd = 0;
}

int64_t TReader::Remaining() const {
  // The stream's position is after the buffered bytes; what it still holds is counted from there.
  const int64_t pos = FStream.Position();
  const int64_t inStream = pos < FStreamEnd ? FStreamEnd - pos : 0;
  return inStream + static_cast<int64_t>(FBufEnd - FBufPos);
}

void TReader::Fill() {
  FBufPos = 0;
  FBufEnd = FStream.Read(FBuffer.data(), FBuffer.size());
  if (FBufEnd == 0) ReadError();
}

void TReader::Read(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    if (FBufPos == FBufEnd) {
      if (count >= FBuffer.size()) {
        // Large reads go straight to the caller's memory.
        if (FStream.Read(out, count) != count) ReadError();
        return;
      }
      Fill();
    }
    const size_t n = std::min(count, FBufEnd - FBufPos);
    std::memcpy(out, FBuffer.data() + FBufPos, n);
    FBufPos += n;
    out += n;
    count -= n;
  }
}

uint8_t TReader::ReadByte() {
  if (FBufPos == FBufEnd) Fill();
  return FBuffer[FBufPos++];
}

int32_t TReader::ReadInt32Raw() {
  uint8_t b[4];
  Read(b, 4);
  return static_cast<int32_t>(b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                              (uint32_t{b[3]} << 24));
}

std::vector<uint8_t> TReader::ReadBytes(int64_t count) {
  // A length from the file is trusted only as far as the stream can back it.
  if (count < 0 || count > Remaining()) ReadError();
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  Read(bytes.data(), bytes.size());
  return bytes;
}

void TReader::SkipBytes(int64_t count) {
  if (count < 0 || count > Remaining()) ReadError();
  while (count > 0) {
    if (FBufPos == FBufEnd) {
      if (count >= static_cast<int64_t>(FBuffer.size())) {
        FStream.Seek(count, TSeekOrigin::soCurrent);
        return;
      }
      Fill();
    }
    const size_t n = static_cast<size_t>(std::min<int64_t>(count, FBufEnd - FBufPos));
    FBufPos += n;
    count -= static_cast<int64_t>(n);
  }
}

std::string TReader::ReadShortString() {
  const uint8_t len = ReadByte();
  std::string s(len, '\0');
  Read(s.data(), len);
  return s;
}

TValueType TReader::ReadValue() {
  return static_cast<TValueType>(ReadByte());
}

TValueType TReader::NextValue() {
  if (FBufPos == FBufEnd) Fill();
  return static_cast<TValueType>(FBuffer[FBufPos]);
}

bool TReader::EndOfList() {
  return NextValue() == TValueType::vaNull;
}

void TReader::ReadListEnd() {
  if (ReadValue() != TValueType::vaNull) PropValueError();
}

// ---------------------------------------------------------------------------------------------
// Typed values

int32_t TReader::ReadInteger() {
  switch (ReadValue()) {
    case TValueType::vaInt8:
      return static_cast<int8_t>(ReadByte());
    case TValueType::vaInt16: {
      uint8_t b[2];
      Read(b, 2);
      return static_cast<int16_t>(b[0] | (b[1] << 8));
    }
    case TValueType::vaInt32:
      return ReadInt32Raw();
    default:
      PropValueError();
  }
}

std::string TReader::ReadString() {
  switch (ReadValue()) {
    case TValueType::vaString:
      return ReadShortString();
    case TValueType::vaLString: {
      const std::vector<uint8_t> bytes = ReadBytes(ReadInt32Raw());
      return std::string(bytes.begin(), bytes.end());
    }
    case TValueType::vaUTF8String: {
      const std::vector<uint8_t> bytes = ReadBytes(ReadInt32Raw());
      return Utf8ToAnsi(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    case TValueType::vaWString: {
      const int32_t units = ReadInt32Raw();
      if (units < 0) ReadError();
      const std::vector<uint8_t> bytes = ReadBytes(int64_t{units} * 2);
      return WideBytesToAnsi(bytes.data(), static_cast<size_t>(units));
    }
    default:
      PropValueError();
  }
}

std::string TReader::ReadIdent() {
  switch (ReadValue()) {
    case TValueType::vaIdent:
      return ReadShortString();
    case TValueType::vaFalse:
      return "False";
    case TValueType::vaTrue:
      return "True";
    case TValueType::vaNil:
      return "nil";
    case TValueType::vaNull:
      return "Null";
    default:
      PropValueError();
  }
}

// ---------------------------------------------------------------------------------------------
// Skipping

void TReader::SkipValue() {
  SkipValueAt(0);
}

void TReader::SkipValueAt(int depth) {
  const TValueType code = ReadValue();
  switch (code) {
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil:
      return;
    case TValueType::vaList:
      CheckDepth(depth + 1);
      while (!EndOfList()) SkipValueAt(depth + 1);
      ReadListEnd();
      return;
    case TValueType::vaInt8:
      SkipBytes(1);
      return;
    case TValueType::vaInt16:
      SkipBytes(2);
      return;
    case TValueType::vaInt32:
      SkipBytes(4);
      return;
    case TValueType::vaExtended:
      SkipBytes(10);
      return;
    case TValueType::vaString:
    case TValueType::vaIdent:
      SkipBytes(ReadByte());
      return;
    case TValueType::vaBinary:
    case TValueType::vaLString:
    case TValueType::vaUTF8String:
      SkipBytes(ReadInt32Raw());
      return;
    case TValueType::vaWString: {
      const int32_t units = ReadInt32Raw();
      if (units < 0) ReadError();
      SkipBytes(int64_t{units} * 2);
      return;
    }
    case TValueType::vaSet:
      for (;;) {
        const uint8_t len = ReadByte();
        if (len == 0) return;
        SkipBytes(len);
      }
    case TValueType::vaCollection:
      CheckDepth(depth + 1);
      while (!EndOfList()) {
        if (IsIntegerCode(NextValue())) ReadInteger();
        if (ReadValue() != TValueType::vaList) PropValueError();
        SkipPropertyList(depth + 1);
      }
      ReadListEnd();
      return;
    case TValueType::vaSingle:
      SkipBytes(4);
      return;
    case TValueType::vaCurrency:
    case TValueType::vaDate:
    case TValueType::vaInt64:
      SkipBytes(8);
      return;
  }
  // A code above 20 has no known payload: nothing after it can be found again.
  PropValueError();
}

void TReader::SkipPropertyList(int depth) {
  CheckDepth(depth);
  while (!EndOfList()) {
    SkipBytes(ReadByte());  // the name
    SkipValueAt(depth);
  }
  ReadListEnd();
}

void TReader::SkipComponent() {
  SkipComponentAt(0);
}

void TReader::SkipComponentAt(int depth) {
  CheckDepth(depth);
  ReadPrefix();
  SkipBytes(ReadByte());  // class name
  SkipBytes(ReadByte());  // object name
  SkipPropertyList(depth + 1);
  while (!EndOfList()) SkipComponentAt(depth + 1);
  ReadListEnd();
}

void TReader::ReadPrefix() {
  if ((static_cast<uint8_t>(NextValue()) & 0xF0) != 0xF0) return;
  const uint8_t flags = ReadByte() & 0x0F;
  if (flags & 0x02) ReadInteger();  // the child position, unused
}

// ---------------------------------------------------------------------------------------------
// Properties

void TReader::ReadPropValue(TPersistent& object, const TPropInfo& prop) {
  if (!prop.Set) {
    bool subComponent = false;
    if (prop.Kind == TPropKind::pkObject && prop.Get) {
      const TPropValue current = prop.Get(object);
      const auto* obj = std::get_if<TPersistent*>(&current);
      subComponent = obj != nullptr && *obj != nullptr && (*obj)->IsSubComponent();
    }
    if (!subComponent) throw EReadError("Property is read-only");
  }
  switch (prop.Kind) {
    case TPropKind::pkInteger: {
      int32_t value = 0;
      if (NextValue() == TValueType::vaIdent) {
        ReadValue();
        const std::string ident = ReadShortString();
        const std::optional<int32_t> mapped =
            prop.Type != nullptr ? IdentToInt(*prop.Type, ident) : std::nullopt;
        if (!mapped) PropValueError();
        value = *mapped;
      } else {
        value = ReadInteger();
      }
      prop.Set(object, int64_t{value});
      return;
    }
    case TPropKind::pkEnumeration: {
      const TValueType code = NextValue();
      if (code != TValueType::vaIdent && code != TValueType::vaFalse &&
          code != TValueType::vaTrue) {
        PropValueError();
      }
      const std::string ident = ReadIdent();
      const std::optional<int32_t> value =
          prop.Type != nullptr ? IdentToInt(*prop.Type, ident) : std::nullopt;
      if (!value) PropValueError();
      prop.Set(object, int64_t{*value});
      return;
    }
    case TPropKind::pkFloat: {
      if (NextValue() == TValueType::vaExtended) {
        ReadValue();
        uint8_t b[10];
        Read(b, 10);
        prop.Set(object, ExtendedToDouble(b));
      } else {
        prop.Set(object, static_cast<double>(ReadInteger()));
      }
      return;
    }
    case TPropKind::pkString:
    case TPropKind::pkWString:
      prop.Set(object, ReadString());
      return;
    case TPropKind::pkChar: {
      if (!IsStringCode(NextValue())) PropValueError();
      const std::string s = ReadString();
      if (s.size() > 1) PropValueError();
      prop.Set(object, int64_t{s.empty() ? 0 : static_cast<uint8_t>(s[0])});
      return;
    }
    case TPropKind::pkSet: {
      if (ReadValue() != TValueType::vaSet) PropValueError();
      int64_t bits = 0;
      for (;;) {
        const std::string name = ReadShortString();
        if (name.empty()) break;
        const std::optional<int32_t> bit =
            prop.Type != nullptr ? IdentToInt(*prop.Type, name) : std::nullopt;
        if (bit && *bit >= 0 && *bit < 32) bits |= int64_t{1} << *bit;
      }
      prop.Set(object, bits);
      return;
    }
    case TPropKind::pkObject: {
      switch (NextValue()) {
        case TValueType::vaNil:
          ReadValue();
          if (prop.Set) prop.Set(object, static_cast<TPersistent*>(nullptr));
          return;
        case TValueType::vaCollection:
          // No class of the package model holds a collection: the items are read past.
          SkipValue();
          return;
        case TValueType::vaIdent:
          // References to other objects by name are not resolved (no package object has one).
          ReadValue();
          ReadShortString();
          return;
        default:
          PropValueError();
      }
    }
    case TPropKind::pkInt64: {
      if (NextValue() == TValueType::vaInt64) {
        ReadValue();
        uint8_t b[8];
        Read(b, 8);
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | b[i];
        prop.Set(object, static_cast<int64_t>(v));
      } else {
        prop.Set(object, int64_t{ReadInteger()});
      }
      return;
    }
  }
}

void TReader::ReadProperty(TPersistent& root) {
  const std::string path = ReadShortString();
  try {
    const std::vector<std::string_view> parts = SplitPath(path);
    TPersistent* object = &root;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      const TPropInfo* prop = object->ClassInfo().FindProperty(parts[i]);
      TPersistent* next = nullptr;
      if (prop != nullptr && prop->Kind == TPropKind::pkObject && prop->Get) {
        const TPropValue value = prop->Get(*object);
        if (const auto* p = std::get_if<TPersistent*>(&value)) next = *p;
      }
      if (next == nullptr) {
        SkipValue();
        PropPathError();
      }
      object = next;
    }
    const std::string_view last = parts.back();
    if (const TPropInfo* prop = object->ClassInfo().FindProperty(last)) {
      ReadPropValue(*object, *prop);
    } else if (!object->ReadStoredProperty(last, *this)) {
      SkipValue();
    }
  } catch (const Exception& e) {
    std::string name = root.ComponentName();
    if (name.empty()) name = std::string(root.ClassName());
    RethrowWithMessage(e, "Error reading " + name + "." + path + ": " + e.Message());
  }
}

void TReader::ReadProperties(TPersistent& root) {
  while (!EndOfList()) ReadProperty(root);
  ReadListEnd();
}

void TReader::ReadRootObject(TPersistent* instance, std::unique_ptr<TPersistent>& created) {
  ReadPrefix();
  const std::string className = ReadShortString();
  TPersistent* object = instance;
  if (object == nullptr) {
    const TClassInfo* cls = FindStreamClass(className);
    if (cls == nullptr || !cls->Create) throw EFilerError("Class " + className + " not found");
    created = cls->Create();
    object = created.get();
  }
  object->SetComponentName(ReadShortString());

  struct TLoadingMark {
    TPersistent& Object;
    explicit TLoadingMark(TPersistent& o) : Object(o) { Object.SetLoading(true); }
    ~TLoadingMark() { Object.SetLoading(false); }
  } mark(*object);

  ReadProperties(*object);
  // Child objects: none of the package's objects has any; they are read past.
  while (!EndOfList()) SkipComponentAt(1);
  ReadListEnd();
  object->Loaded();
}

std::unique_ptr<TPersistent> ReadObjectStream(TStream& stream, TPersistent* instance) {
  std::unique_ptr<TPersistent> created;
  {
    TReader reader(stream);
    char signature[4];
    reader.Read(signature, 4);
    if (std::memcmp(signature, FilerSignature, 4) != 0) {
      throw EFilerError("Invalid stream format");
    }
    reader.ReadRootObject(instance, created);
    reader.FlushBuffer();
  }
  return created;
}

// ---------------------------------------------------------------------------------------------
// 80-bit extended precision

double ExtendedToDouble(const uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
  const unsigned signExp = bytes[8] | (unsigned{bytes[9]} << 8);
  const bool negative = (signExp & 0x8000) != 0;
  const int exponent = static_cast<int>(signExp & 0x7FFF);
  double value = 0;
  if (exponent == 0x7FFF) {
    value = (mantissa << 1) == 0 ? HUGE_VAL : std::nan("");
  } else {
    value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -value : value;
}

void DoubleToExtended(double value, uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  unsigned signExp = std::signbit(value) ? 0x8000 : 0;
  if (std::isnan(value)) {
    mantissa = 0xC000000000000000ull;
    signExp |= 0x7FFF;
  } else if (std::isinf(value)) {
    mantissa = 0x8000000000000000ull;
    signExp |= 0x7FFF;
  } else if (value != 0) {
    int e = 0;
    const double m = std::frexp(std::fabs(value), &e);  // m in [0.5, 1)
    mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
    signExp |= static_cast<unsigned>(e - 1 + 16383);
  }
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  bytes[8] = static_cast<uint8_t>(signExp);
  bytes[9] = static_cast<uint8_t>(signExp >> 8);
}

}  // namespace tovrin
