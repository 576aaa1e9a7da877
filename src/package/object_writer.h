// The component stream writer: the two objects a package holds, written byte for byte as the
// reader expects them (see object_reader.h for the grammar).
//
// A picture item:
//   "TPF0" 06 "TImage" 00
//   04 "Left" 02 00   03 "Top" 02 00   05 "Width" 02 69   06 "Height" 02 69
//   0C "Picture.Data" 0A <L:int32> 0A "TJPEGImage" <J:int32> <J JPEG bytes>
//   00 00                                   (L = J + 15)
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "package/ss_file_locations.h"
#include "package/stream.h"

namespace tovrin {

// Low-level value writing.
class TWriter {
 public:
  explicit TWriter(TStream& stream) : FStream(stream) {}

  void WriteSignature();
  void WriteByte(uint8_t b);
  void WriteInt32Raw(int32_t v);
  // A short string; fails with EWriteError "String too long" above 255 bytes.
  void WriteShortString(std::string_view s);
  void WriteValueType(uint8_t code);
  void WritePropName(std::string_view name) { WriteShortString(name); }
  // Int8, Int16 or Int32, the smallest that holds the value.
  void WriteInteger(int32_t v);
  // String when it fits in 255 bytes, LString otherwise.
  void WriteString(std::string_view s);
  void WriteIdent(std::string_view ident);  // False/True/Nil/Null get their own codes
  void WriteBoolean(bool v);
  void WriteSet(const TTypeInfo& type, uint32_t bits);
  void WriteBinary(std::span<const uint8_t> bytes);
  void WriteListEnd() { WriteByte(0); }

 private:
  TStream& FStream;
};

// Writes a whole picture item for the JPEG bytes (fails with EWriteError "Stream write error" when
// the bytes are too many for a 32-bit length).
void WritePictureItem(TStream& stream, std::span<const uint8_t> jpegBytes);

// Writes the settings object: Booleans and Integers always, strings and comma lists only when not
// empty, the font as TextFont.Charset, .Color, .Height, .Name, .Style (and .Pitch when it is not
// fpDefault); colours and character sets that have names are written as identifiers. lShuffle,
// PicFill, lPicCaptions and lMotion follow the lists, only when they differ from their defaults.
void WriteShowSettings(TStream& stream, const TSSFileLocations& settings);

}  // namespace tovrin
