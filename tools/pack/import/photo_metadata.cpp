#include "photo_metadata.h"

#include <cstring>
#include <string_view>

#include "core/ansi_text.h"
#include "tiff_reader.h"

namespace tovrin {

namespace {

using namespace exif;

constexpr uint8_t kMarkerAPP13 = 0xED;
constexpr uint16_t kTagImageDescription = 0x010E;
constexpr uint16_t kTagExifIfd = 0x8769;
constexpr uint16_t kTagDateTimeOriginal = 0x9003;
constexpr uint16_t kTagGpsIfd = 0x8825;
constexpr uint16_t kTagGpsLatitudeRef = 0x0001;
constexpr uint16_t kTagGpsLatitude = 0x0002;
constexpr uint16_t kTagGpsLongitudeRef = 0x0003;
constexpr uint16_t kTagGpsLongitude = 0x0004;
constexpr std::string_view kXmpHeader{"http://ns.adobe.com/xap/1.0/\0", 29};
constexpr std::string_view kPhotoshopHeader{"Photoshop 3.0\0", 14};

bool StartsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() &&
         std::memcmp(bytes.data(), prefix.data(), prefix.size()) == 0;
}

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// UTF-8 as it stands when it is valid, else each byte as a Latin-1 character.
std::string AsUtf8(std::string_view text) {
  bool valid = true;
  for (size_t at = 0; at < text.size() && valid;) {
    const TUtf8Sequence s = ReadUtf8Sequence(text, at);
    valid = s.Valid;
    at += s.Length;
  }
  if (valid) return std::string(text);
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

// An ASCII entry's text up to its first NUL, or empty when the entry does not fit the data.
std::string AsciiValue(const TTiffReader& in, size_t entry) {
  if (in.U16(entry + 2) != kTypeAscii) return {};
  const uint32_t count = in.U32(entry + 4);
  size_t at = entry + 8;
  if (count > 4) {
    at = in.U32(entry + 8);
    if (at > in.Bytes.size() || count > in.Bytes.size() - at) return {};
  }
  std::string_view text(reinterpret_cast<const char*>(in.Bytes.data() + at), count);
  text = text.substr(0, text.find('\0'));
  return std::string(text);
}

// Calls found(tag, entry offset) for each entry of the directory at ifd that lies inside the
// data; a directory that does not is skipped.
template <class F>
void ForEachEntry(const TTiffReader& in, uint32_t ifd, F found) {
  if (ifd < 8 || ifd > in.Bytes.size() - 2) return;
  const size_t count = in.U16(ifd);
  if (count > (in.Bytes.size() - ifd - 2) / kIfdEntrySize) return;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = ifd + 2 + i * kIfdEntrySize;
    found(in.U16(entry), entry);
  }
}

// Degrees from degrees, minutes and seconds, or nothing when a part is not a real angle or the
// whole lies beyond limit (90 for latitudes, 180 for longitudes). A negative hemisphere (S, W)
// turns the sign.
std::optional<double> Angle(const double (&parts)[3], double limit, bool negative) {
  for (const double part : parts) {
    if (!(part >= 0)) return std::nullopt;  // also refuses NaN
  }
  if (parts[1] >= 60 || parts[2] >= 60) return std::nullopt;
  const double degrees = parts[0] + parts[1] / 60 + parts[2] / 3600;
  if (degrees > limit) return std::nullopt;
  return negative ? -degrees : degrees;
}

// A GPS coordinate entry: one to three RATIONALs (degrees, minutes, seconds), or nothing when the
// entry does not fit the data or a denominator is zero.
std::optional<double> RationalAngle(const TTiffReader& in, size_t entry, double limit,
                                    bool negative) {
  if (in.U16(entry + 2) != kTypeRational) return std::nullopt;
  const uint32_t count = in.U32(entry + 4);
  if (count < 1 || count > 3) return std::nullopt;
  const size_t at = in.U32(entry + 8);  // 8 bytes each: never inline
  if (at > in.Bytes.size() || size_t{count} * 8 > in.Bytes.size() - at) return std::nullopt;
  double parts[3] = {0, 0, 0};
  for (size_t i = 0; i < count; ++i) {
    const uint32_t numerator = in.U32(at + i * 8);
    const uint32_t denominator = in.U32(at + i * 8 + 4);
    if (denominator == 0) return std::nullopt;
    parts[i] = static_cast<double>(numerator) / denominator;
  }
  return Angle(parts, limit, negative);
}

// Where the GPS directory says the photo was taken; a reference other than the two hemisphere
// letters leaves the position out, since its sign cannot be known.
std::optional<TGeoPosition> GpsPosition(const TTiffReader& in, uint32_t gpsIfd) {
  std::string latitudeRef, longitudeRef;
  size_t latitudeEntry = 0, longitudeEntry = 0;
  ForEachEntry(in, gpsIfd, [&](uint16_t tag, size_t entry) {
    if (tag == kTagGpsLatitudeRef) latitudeRef = Trimmed(AsciiValue(in, entry));
    if (tag == kTagGpsLongitudeRef) longitudeRef = Trimmed(AsciiValue(in, entry));
    if (tag == kTagGpsLatitude) latitudeEntry = entry;
    if (tag == kTagGpsLongitude) longitudeEntry = entry;
  });
  if (latitudeEntry == 0 || longitudeEntry == 0) return std::nullopt;
  if ((latitudeRef != "N" && latitudeRef != "S") || (longitudeRef != "E" && longitudeRef != "W")) {
    return std::nullopt;
  }
  const std::optional<double> latitude = RationalAngle(in, latitudeEntry, 90, latitudeRef == "S");
  const std::optional<double> longitude =
      RationalAngle(in, longitudeEntry, 180, longitudeRef == "W");
  if (!latitude || !longitude) return std::nullopt;
  return TGeoPosition{*latitude, *longitude};
}

void ReadExif(std::span<const uint8_t> tiff, TPhotoMetadata& meta, std::string& description) {
  if (tiff.size() < 8) return;
  const bool bigEndian = tiff[0] == 'M' && tiff[1] == 'M';
  if (!bigEndian && !(tiff[0] == 'I' && tiff[1] == 'I')) return;
  const TTiffReader in{tiff, bigEndian};
  if (in.U16(2) != 42) return;
  uint32_t exifIfd = 0, gpsIfd = 0;
  ForEachEntry(in, in.U32(4), [&](uint16_t tag, size_t entry) {
    if (tag == kTagImageDescription) description = Trimmed(AsUtf8(AsciiValue(in, entry)));
    if (tag == kTagExifIfd && in.U16(entry + 2) == kTypeLong) exifIfd = in.U32(entry + 8);
    if (tag == kTagGpsIfd && in.U16(entry + 2) == kTypeLong) gpsIfd = in.U32(entry + 8);
  });
  // The Exif and GPS directories are one level down; neither is followed further, so no loop
  // can form.
  ForEachEntry(in, exifIfd, [&](uint16_t tag, size_t entry) {
    if (tag == kTagDateTimeOriginal) meta.DateTaken = Trimmed(AsciiValue(in, entry));
  });
  if (const std::optional<TGeoPosition> position = GpsPosition(in, gpsIfd))
    meta.Position = position;
}

// The text of an XML element's content with the five named entities and numeric character
// references resolved; others are kept as written.
std::string XmlText(std::string_view raw) {
  std::string out;
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    const size_t end = raw.find(';', i);
    if (end == std::string_view::npos || end - i > 10) {
      out += raw[i];
      continue;
    }
    const std::string_view name = raw.substr(i + 1, end - i - 1);
    uint32_t code = 0;
    if (name == "amp")
      code = '&';
    else if (name == "lt")
      code = '<';
    else if (name == "gt")
      code = '>';
    else if (name == "quot")
      code = '"';
    else if (name == "apos")
      code = '\'';
    else if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x' || name[1] == 'X';
      for (const char c : name.substr(hex ? 2 : 1)) {
        const int digit = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
        if (digit < 0 || code > 0x10FFFF) {
          code = 0;
          break;
        }
        code = code * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
      }
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out += raw[i];
      continue;
    }
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
    i = end;
  }
  return out;
}

// The first language entry of dc:description in an XMP packet.
std::string XmpDescription(std::string_view xmp) {
  const size_t element = xmp.find("<dc:description");
  if (element == std::string_view::npos) return {};
  const size_t close = xmp.find("</dc:description", element);
  const std::string_view body = xmp.substr(
      element, close == std::string_view::npos ? std::string_view::npos : close - element);
  const size_t item = body.find("<rdf:li");
  if (item == std::string_view::npos) return {};
  const size_t start = body.find('>', item);
  if (start == std::string_view::npos || body[start - 1] == '/') return {};
  const size_t end = body.find("</rdf:li", start);
  if (end == std::string_view::npos) return {};
  return Trimmed(AsUtf8(XmlText(body.substr(start + 1, end - start - 1))));
}

// A decimal number at the front of text ("51", "30.5"), taken off it; nothing when there is none.
// Read by hand: the C library's conversion would follow the locale's decimal point.
std::optional<double> TakeNumber(std::string_view& text) {
  double value = 0, scale = 1;
  size_t digits = 0, length = 0;
  bool point = false;
  for (; length < text.size() && digits < 18; ++length) {
    const char c = text[length];
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (point) {
        scale /= 10;
        value += (c - '0') * scale;
      } else {
        value = value * 10 + (c - '0');
      }
    } else {
      break;
    }
  }
  if (digits == 0) return std::nullopt;
  text.remove_prefix(length);
  return value;
}

// An XMP GPS coordinate, "DDD,MM,SSk" or "DDD,MM.mmk" with k the hemisphere letter.
std::optional<double> XmpAngle(std::string_view value, char positive, char negative, double limit) {
  while (!value.empty() && value.back() == ' ') value.remove_suffix(1);
  if (value.empty() || (value.back() != positive && value.back() != negative)) return std::nullopt;
  const bool flipped = value.back() == negative;
  value.remove_suffix(1);
  double parts[3] = {0, 0, 0};
  for (size_t i = 0; i < 3; ++i) {
    const std::optional<double> part = TakeNumber(value);
    if (!part) return std::nullopt;
    parts[i] = *part;
    if (value.empty()) break;
    if (value.front() != ',' || i == 2) return std::nullopt;
    value.remove_prefix(1);
  }
  if (!value.empty()) return std::nullopt;
  return Angle(parts, limit, flipped);
}

// The value of an XMP property written as an attribute (name="value") or as an element
// (<name>value</name>), or nothing.
std::optional<std::string_view> XmpProperty(std::string_view xmp, std::string_view name) {
  for (size_t at = xmp.find(name); at != std::string_view::npos; at = xmp.find(name, at + 1)) {
    const std::string_view rest = xmp.substr(at + name.size());
    if (rest.size() >= 2 && rest[0] == '=' && (rest[1] == '"' || rest[1] == '\'')) {
      const size_t end = rest.find(rest[1], 2);
      if (end == std::string_view::npos) return std::nullopt;
      return rest.substr(2, end - 2);
    }
    if (!rest.empty() && rest[0] == '>' && at > 0 && xmp[at - 1] == '<') {
      const size_t end = rest.find('<', 1);
      if (end == std::string_view::npos) return std::nullopt;
      return rest.substr(1, end - 1);
    }
  }
  return std::nullopt;
}

std::optional<TGeoPosition> XmpPosition(std::string_view xmp) {
  const std::optional<std::string_view> latitude = XmpProperty(xmp, "exif:GPSLatitude");
  const std::optional<std::string_view> longitude = XmpProperty(xmp, "exif:GPSLongitude");
  if (!latitude || !longitude) return std::nullopt;
  const std::optional<double> north = XmpAngle(*latitude, 'N', 'S', 90);
  const std::optional<double> east = XmpAngle(*longitude, 'E', 'W', 180);
  if (!north || !east) return std::nullopt;
  return TGeoPosition{*north, *east};
}

uint32_t BigU32(std::span<const uint8_t> b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

// The caption dataset (2:120) of IPTC data.
std::string IptcCaption(std::span<const uint8_t> iptc) {
  size_t at = 0;
  while (iptc.size() - at >= 5 && iptc[at] == 0x1C) {
    const uint8_t record = iptc[at + 1];
    const uint8_t dataset = iptc[at + 2];
    const size_t length = (size_t{iptc[at + 3]} << 8) | iptc[at + 4];
    // An extended length (top bit set) belongs to large binary datasets, never to text.
    if (length & 0x8000 || length > iptc.size() - at - 5) return {};
    if (record == 2 && dataset == 120) {
      return Trimmed(
          AsUtf8(std::string_view(reinterpret_cast<const char*>(iptc.data() + at + 5), length)));
    }
    at += 5 + length;
  }
  return {};
}

// The IPTC caption among Photoshop resource blocks.
std::string PhotoshopCaption(std::span<const uint8_t> blocks) {
  size_t at = 0;
  while (blocks.size() - at >= 12 && StartsWith(blocks.subspan(at), "8BIM")) {
    const uint16_t id = static_cast<uint16_t>((blocks[at + 4] << 8) | blocks[at + 5]);
    // The name: a length byte and that many bytes, padded to an even count.
    size_t nameSize = 1 + size_t{blocks[at + 6]};
    nameSize += nameSize % 2;
    const size_t sizeAt = at + 6 + nameSize;
    if (sizeAt > blocks.size() - 4) return {};
    const uint32_t size = BigU32(blocks, sizeAt);
    const size_t data = sizeAt + 4;
    if (size > blocks.size() - data) return {};
    if (id == 0x0404) return IptcCaption(blocks.subspan(data, size));
    at = data + size + size % 2;
    if (at > blocks.size()) return {};
  }
  return {};
}

}  // namespace

TPhotoMetadata ReadPhotoMetadata(std::span<const uint8_t> jpeg) {
  TPhotoMetadata meta;
  std::string exifText, xmpText, iptcText;
  std::optional<TGeoPosition> xmpPosition;
  if (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return meta;
  size_t pos = 2;
  while (pos < jpeg.size()) {
    if (jpeg[pos] != 0xFF) break;
    while (pos < jpeg.size() && jpeg[pos] == 0xFF) ++pos;
    if (pos >= jpeg.size()) break;
    const uint8_t marker = jpeg[pos++];
    if (marker == kMarkerSOS || marker == kMarkerEOI) break;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length field
    if (jpeg.size() - pos < 2) break;
    const size_t length = (size_t{jpeg[pos]} << 8) | jpeg[pos + 1];
    if (length < 2 || length - 2 > jpeg.size() - pos - 2) break;
    const std::span<const uint8_t> payload = jpeg.subspan(pos + 2, length - 2);
    if (marker == kMarkerAPP1 && StartsWith(payload, kExifHeader)) {
      ReadExif(payload.subspan(kExifHeader.size()), meta, exifText);
    } else if (marker == kMarkerAPP1 && StartsWith(payload, kXmpHeader)) {
      const std::span<const uint8_t> xmpBytes = payload.subspan(kXmpHeader.size());
      const std::string_view xmp(reinterpret_cast<const char*>(xmpBytes.data()), xmpBytes.size());
      xmpText = XmpDescription(xmp);
      xmpPosition = XmpPosition(xmp);
    } else if (marker == kMarkerAPP13 && StartsWith(payload, kPhotoshopHeader)) {
      iptcText = PhotoshopCaption(payload.subspan(kPhotoshopHeader.size()));
    }
    pos += length;
  }
  meta.Description = !xmpText.empty() ? xmpText : !iptcText.empty() ? iptcText : exifText;
  if (!meta.Position) meta.Position = xmpPosition;
  return meta;
}

}  // namespace tovrin
