#include "package/object_writer.h"

#include "core/conversions.h"
#include "core/errors.h"
#include "package/ident_maps.h"
#include "package/image.h"
#include "package/value_type.h"

namespace tovrin {

void TWriter::WriteSignature() {
  FStream.WriteBuffer(FilerSignature, 4);
}

void TWriter::WriteByte(uint8_t b) {
  FStream.WriteBuffer(&b, 1);
}

void TWriter::WriteInt32Raw(int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  const uint8_t b[4] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8),
                        static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 24)};
  FStream.WriteBuffer(b, 4);
}

void TWriter::WriteShortString(std::string_view s) {
  if (s.size() > 255) throw EWriteError("String too long");
  WriteByte(static_cast<uint8_t>(s.size()));
  FStream.WriteBuffer(s.data(), s.size());
}

void TWriter::WriteValueType(uint8_t code) {
  WriteByte(code);
}

void TWriter::WriteInteger(int32_t v) {
  if (v >= -128 && v <= 127) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaInt8));
    WriteByte(static_cast<uint8_t>(static_cast<int8_t>(v)));
  } else if (v >= -32768 && v <= 32767) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaInt16));
    const auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
    WriteByte(static_cast<uint8_t>(u));
    WriteByte(static_cast<uint8_t>(u >> 8));
  } else {
    WriteValueType(static_cast<uint8_t>(TValueType::vaInt32));
    WriteInt32Raw(v);
  }
}

void TWriter::WriteString(std::string_view s) {
  if (s.size() <= 255) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaString));
    WriteShortString(s);
    return;
  }
  if (s.size() > 0x7FFFFFFF) throw EWriteError("Stream write error");
  WriteValueType(static_cast<uint8_t>(TValueType::vaLString));
  WriteInt32Raw(static_cast<int32_t>(s.size()));
  FStream.WriteBuffer(s.data(), s.size());
}

void TWriter::WriteIdent(std::string_view ident) {
  if (SameText(ident, "False")) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaFalse));
  } else if (SameText(ident, "True")) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaTrue));
  } else if (SameText(ident, "nil")) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaNil));
  } else if (SameText(ident, "Null")) {
    WriteValueType(static_cast<uint8_t>(TValueType::vaNull));
  } else {
    WriteValueType(static_cast<uint8_t>(TValueType::vaIdent));
    WriteShortString(ident);
  }
}

void TWriter::WriteBoolean(bool v) {
  WriteValueType(static_cast<uint8_t>(v ? TValueType::vaTrue : TValueType::vaFalse));
}

void TWriter::WriteSet(const TTypeInfo& type, uint32_t bits) {
  WriteValueType(static_cast<uint8_t>(TValueType::vaSet));
  for (int bit = 0; bit < 32; ++bit) {
    if ((bits & (1u << bit)) == 0) continue;
    const std::string_view name = IntToIdent(type, bit);
    if (!name.empty()) WriteShortString(name);
  }
  WriteByte(0);
}

void TWriter::WriteBinary(std::span<const uint8_t> bytes) {
  if (bytes.size() > 0x7FFFFFFF) throw EWriteError("Stream write error");
  WriteValueType(static_cast<uint8_t>(TValueType::vaBinary));
  WriteInt32Raw(static_cast<int32_t>(bytes.size()));
  FStream.WriteBuffer(bytes.data(), bytes.size());
}

void WritePictureItem(TStream& stream, std::span<const uint8_t> jpegBytes) {
  constexpr std::string_view graphicClass = "TJPEGImage";
  // L = class name as a short string + 4-byte length J + J bytes must fit a 32-bit length.
  const uint64_t payload = 1 + graphicClass.size() + 4 + uint64_t{jpegBytes.size()};
  if (payload > 0x7FFFFFFF) throw EWriteError("Stream write error");

  TWriter w(stream);
  w.WriteSignature();
  w.WriteShortString("TImage");
  w.WriteShortString("");
  w.WritePropName("Left");
  w.WriteInteger(0);
  w.WritePropName("Top");
  w.WriteInteger(0);
  w.WritePropName("Width");
  w.WriteInteger(TImage::DefaultSize);
  w.WritePropName("Height");
  w.WriteInteger(TImage::DefaultSize);
  w.WritePropName("Picture.Data");
  w.WriteValueType(static_cast<uint8_t>(TValueType::vaBinary));
  w.WriteInt32Raw(static_cast<int32_t>(payload));
  w.WriteShortString(graphicClass);
  w.WriteInt32Raw(static_cast<int32_t>(jpegBytes.size()));
  stream.WriteBuffer(jpegBytes.data(), jpegBytes.size());
  w.WriteListEnd();  // properties
  w.WriteListEnd();  // children
}

namespace {

// An integer with an identifier map is written by name when it has one.
void WriteMappedInteger(TWriter& w, const TTypeInfo& type, int32_t value) {
  const std::string_view ident = IntToIdent(type, value);
  if (ident.empty()) {
    w.WriteInteger(value);
  } else {
    w.WriteIdent(ident);
  }
}

void WriteBooleanProp(TWriter& w, std::string_view name, bool value) {
  w.WritePropName(name);
  w.WriteBoolean(value);
}

void WriteIntegerProp(TWriter& w, std::string_view name, int32_t value) {
  w.WritePropName(name);
  w.WriteInteger(value);
}

void WriteStringProp(TWriter& w, std::string_view name, const std::string& value) {
  if (value.empty()) return;
  w.WritePropName(name);
  w.WriteString(value);
}

}  // namespace

void WriteShowSettings(TStream& stream, const TSSFileLocations& s) {
  TWriter w(stream);
  w.WriteSignature();
  w.WriteShortString("TSSFileLocations");
  w.WriteShortString(s.Name());
  WriteStringProp(w, "Text", s.Text());

  const TFont& font = s.TextFont();
  w.WritePropName("TextFont.Charset");
  WriteMappedInteger(w, CharsetTypeInfo(), font.Charset());
  w.WritePropName("TextFont.Color");
  WriteMappedInteger(w, ColorTypeInfo(), font.Color());
  WriteIntegerProp(w, "TextFont.Height", font.Height());
  w.WritePropName("TextFont.Name");
  w.WriteString(font.Name());
  w.WritePropName("TextFont.Style");
  w.WriteSet(FontStyleTypeInfo(), font.Style());
  if (font.Pitch() != TFontPitch::fpDefault) {
    w.WritePropName("TextFont.Pitch");
    w.WriteIdent(IntToIdent(FontPitchTypeInfo(), static_cast<int32_t>(font.Pitch())));
  }

  WriteBooleanProp(w, "lRandomStyle", s.lRandomStyle());
  WriteBooleanProp(w, "lRandomPic", s.lRandomPic());
  WriteBooleanProp(w, "lClearOldImage", s.lClearOldImage());
  WriteBooleanProp(w, "lStretch", s.lStretch());
  WriteIntegerProp(w, "Interval", s.Interval());
  WriteIntegerProp(w, "SoundRandom", s.SoundRandom());
  WriteBooleanProp(w, "lSoundLoop", s.lSoundLoop());
  WriteBooleanProp(w, "lMute", s.lMute());
  WriteStringProp(w, "Title", s.Title());
  WriteStringProp(w, "Author", s.Author());
  WriteStringProp(w, "Email", s.Email());
  WriteStringProp(w, "Web", s.Web());
  WriteStringProp(w, "Ver", s.Ver());
  WriteStringProp(w, "EffectCommaList", s.EffectCommaList());
  WriteStringProp(w, "PicCommaList", s.PicCommaList());
  WriteStringProp(w, "PicFileNamesCommaList", s.PicFileNamesCommaList());
  WriteStringProp(w, "SndCommaList", s.SndCommaList());
  WriteStringProp(w, "SndFileNamesCommaList", s.SndFileNamesCommaList());
  WriteStringProp(w, "SndSizesCommaList", s.SndSizesCommaList());
  WriteStringProp(w, "FlashCommaList", s.FlashCommaList());
  WriteStringProp(w, "FlashFileNamesCommaList", s.FlashFileNamesCommaList());
  WriteStringProp(w, "FlashSizesCommaList", s.FlashSizesCommaList());
  WriteStringProp(w, "DescriptCommaList", s.DescriptCommaList());
  // The later choices only when made: a package without them stays as it always was.
  if (s.lShuffle()) WriteBooleanProp(w, "lShuffle", true);
  if (s.PicFill() != pfBlack) WriteIntegerProp(w, "PicFill", s.PicFill());
  if (s.lPicCaptions()) WriteBooleanProp(w, "lPicCaptions", true);
  if (s.lMotion()) WriteBooleanProp(w, "lMotion", true);
  w.WriteListEnd();  // properties
  w.WriteListEnd();  // children
}

}  // namespace tovrin
