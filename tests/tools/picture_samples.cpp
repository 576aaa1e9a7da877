#include "picture_samples.h"

#include <algorithm>
#include <cstdlib>

#include "jpeg_maker.h"

namespace tovrin::test {

TBitmap UprightPicture(int32_t width, int32_t height) {
  TBitmap b(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const int r = width > 1 ? 255 * x / (width - 1) : 0;
      const int g = height > 1 ? 255 * y / (height - 1) : 0;
      b.SetPixel(x, y, RGB(r, g, 255 - (r + g) / 2));
    }
  }
  return b;
}

namespace {

// A bitmap of the given size and the format and palette of `like`.
TBitmap Like(const TBitmap& like, int32_t width, int32_t height) {
  TBitmap out(width, height, like.PixelFormat());
  out.Palette() = like.Palette();
  return out;
}

void CopyPixel(const TBitmap& from, int32_t x, int32_t y, TBitmap& to, int32_t tx, int32_t ty) {
  const int bpp = from.BytesPerPixel();
  for (int i = 0; i < bpp; ++i) to.ScanLine(ty)[tx * bpp + i] = from.ScanLine(y)[x * bpp + i];
}

}  // namespace

TBitmap TurnedRight(const TBitmap& picture) {
  // The left column, read from the bottom up, becomes the top row.
  TBitmap out = Like(picture, picture.Height(), picture.Width());
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) {
      CopyPixel(picture, x, y, out, picture.Height() - 1 - y, x);
    }
  }
  return out;
}

TBitmap Mirrored(const TBitmap& picture) {
  TBitmap out = Like(picture, picture.Width(), picture.Height());
  for (int32_t y = 0; y < picture.Height(); ++y) {
    for (int32_t x = 0; x < picture.Width(); ++x) {
      CopyPixel(picture, x, y, out, picture.Width() - 1 - x, y);
    }
  }
  return out;
}

TBitmap StoredFor(const TBitmap& upright, int orientation) {
  // How each orientation arises, as steps applied to the upright picture (M: mirror left to
  // right, R: turn a quarter right). 6 is a camera held turned a quarter right, so it stored the
  // scene turned a quarter left (three quarters right); 8 the other way round.
  static const char* const kSteps[9] = {"", "", "M", "RR", "MRR", "RM", "RRR", "MR", "R"};
  TBitmap b = upright;
  for (const char* s = kSteps[orientation]; *s != '\0'; ++s) {
    b = *s == 'M' ? Mirrored(b) : TurnedRight(b);
  }
  return b;
}

TBytes JpegOf(const TBitmap& picture) {
  return testing::MakeJpeg(
      picture.Width(), picture.Height(), testing::TJpegKind::Colour,
      [&](int x, int y) {
        const TColor c = picture.Pixel(x, y);
        return (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) | GetBValue(c);
      },
      95);
}

TBytes OrientationTiff(const TExifFields& f) {
  TBytes t;
  const auto u16 = [&](uint32_t v) {
    if (f.BigEndian) {
      t.push_back(static_cast<uint8_t>(v >> 8));
      t.push_back(static_cast<uint8_t>(v));
    } else {
      t.push_back(static_cast<uint8_t>(v));
      t.push_back(static_cast<uint8_t>(v >> 8));
    }
  };
  const auto u32 = [&](uint32_t v) {
    if (f.BigEndian) {
      u16(v >> 16);
      u16(v & 0xFFFF);
    } else {
      u16(v & 0xFFFF);
      u16(v >> 16);
    }
  };
  t.push_back(f.BigEndian ? 'M' : 'I');
  t.push_back(f.BigEndian ? 'M' : 'I');
  u16(42);
  u32(f.DirectoryOffset);
  while (t.size() < 8) t.push_back(0);
  u16(2);       // two entries
  u16(0x0100);  // image width, LONG, 1 value
  u16(4);
  u32(1);
  u32(640);
  u16(0x0112);  // orientation
  u16(f.Type);
  u32(f.Count);
  u16(static_cast<uint32_t>(f.Value));
  u16(0);
  u32(0);  // no next directory
  return t;
}

namespace {

// Appends byte by byte: g++ 12 at -O3 takes a growing range insert for an overflow.
void Append(TBytes& out, TBytes::const_iterator first, TBytes::const_iterator last) {
  for (; first != last; ++first) out.push_back(*first);
}

}  // namespace

TBytes ExifSegment(const TBytes& tiff, int extraLength) {
  const size_t length = 2 + 6 + tiff.size() + static_cast<size_t>(extraLength);
  TBytes s = {0xFF,
              0xE1,
              static_cast<uint8_t>(length >> 8),
              static_cast<uint8_t>(length),
              'E',
              'x',
              'i',
              'f',
              0,
              0};
  Append(s, tiff.begin(), tiff.end());
  return s;
}

namespace {

void AppendText(TBytes& out, const std::string& text) {
  for (const char c : text) out.push_back(static_cast<uint8_t>(c));
}

void Put16(TBytes& b, size_t at, uint32_t v, bool bigEndian) {
  b[at + (bigEndian ? 0 : 1)] = static_cast<uint8_t>(v >> 8);
  b[at + (bigEndian ? 1 : 0)] = static_cast<uint8_t>(v);
}
void Put32(TBytes& b, size_t at, uint32_t v, bool bigEndian) {
  Put16(b, at + (bigEndian ? 0 : 2), v >> 16, bigEndian);
  Put16(b, at + (bigEndian ? 2 : 0), v & 0xFFFF, bigEndian);
}
// A directory entry at `at`: tag, type, count, value.
void PutEntry(TBytes& b, size_t at, uint16_t tag, uint16_t type, uint32_t count, uint32_t value,
              bool bigEndian) {
  Put16(b, at, tag, bigEndian);
  Put16(b, at + 2, type, bigEndian);
  Put32(b, at + 4, count, bigEndian);
  Put32(b, at + 8, value, bigEndian);
}
TBytes Marker(uint8_t code, const TBytes& payload) {
  const size_t length = payload.size() + 2;
  TBytes s = {0xFF, code, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
  Append(s, payload.begin(), payload.end());
  return s;
}

}  // namespace

TBytes CaptionTiff(bool bigEndian, const std::string& description, const std::string& date) {
  // Header (8), IFD0 with two entries (2 + 24 + 4) at 8, Exif IFD with one entry (2 + 12 + 4) at
  // 38, then the texts from 56.
  TBytes b(56, 0);
  b[0] = b[1] = bigEndian ? 'M' : 'I';
  Put16(b, 2, 42, bigEndian);
  Put32(b, 4, 8, bigEndian);
  const auto text = [&b](const std::string& s) {
    const auto at = static_cast<uint32_t>(b.size());
    AppendText(b, s);
    b.push_back(0);
    return at;
  };
  uint16_t entries = 0;
  if (!description.empty()) {
    const uint32_t at = text(description);
    PutEntry(b, 10, 0x010E, 2, static_cast<uint32_t>(description.size() + 1), at, bigEndian);
    ++entries;
  }
  PutEntry(b, 10 + 12 * entries, 0x8769, 4, 1, 38, bigEndian);
  ++entries;
  Put16(b, 8, entries, bigEndian);
  if (!date.empty()) {
    const uint32_t at = text(date);
    PutEntry(b, 40, 0x9003, 2, static_cast<uint32_t>(date.size() + 1), at, bigEndian);
    Put16(b, 38, 1, bigEndian);
  }
  return b;
}

TBytes GpsTiff(const TGpsFields& f) {
  // Header (8), IFD0 with the GPS pointer (2 + 12 + 4) at 8, the GPS directory at 26 with up to
  // four entries (2 + 48 + 4), then the rationals from 80.
  TBytes b(80, 0);
  b[0] = b[1] = f.BigEndian ? 'M' : 'I';
  Put16(b, 2, 42, f.BigEndian);
  Put32(b, 4, 8, f.BigEndian);
  Put16(b, 8, 1, f.BigEndian);
  PutEntry(b, 10, 0x8825, 4, 1, 26, f.BigEndian);
  uint16_t entries = 0;
  const auto reference = [&](uint16_t tag, const std::string& letters) {
    if (letters.empty()) return;
    const size_t at = 28 + 12 * entries++;
    PutEntry(b, at, tag, 2, static_cast<uint32_t>(letters.size() + 1), 0, f.BigEndian);
    for (size_t i = 0; i < letters.size() && i < 3; ++i)
      b[at + 8 + i] = static_cast<uint8_t>(letters[i]);
  };
  const auto coordinate = [&](uint16_t tag, const std::vector<TRational>& parts) {
    if (parts.empty()) return;
    const auto data = static_cast<uint32_t>(b.size());
    b.resize(b.size() + 8 * parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
      Put32(b, data + 8 * i, parts[i].first, f.BigEndian);
      Put32(b, data + 8 * i + 4, parts[i].second, f.BigEndian);
    }
    PutEntry(b, 28 + 12 * entries++, tag, 5, static_cast<uint32_t>(parts.size()), data,
             f.BigEndian);
  };
  reference(0x0001, f.LatitudeRef);
  coordinate(0x0002, f.Latitude);
  reference(0x0003, f.LongitudeRef);
  coordinate(0x0004, f.Longitude);
  Put16(b, 26, entries, f.BigEndian);
  return b;
}

TBytes XmpPacketSegment(const std::string& inside) {
  const std::string header("http://ns.adobe.com/xap/1.0/\0", 29);
  const std::string packet =
      "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta xmlns:x='adobe:ns:meta/'>"
      "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
      "xmlns:exif='http://ns.adobe.com/exif/1.0/'" +
      inside + "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
  TBytes payload;
  AppendText(payload, header);
  AppendText(payload, packet);
  return Marker(0xE1, payload);
}

TBytes XmpSegment(const std::string& escapedText) {
  const std::string header("http://ns.adobe.com/xap/1.0/\0", 29);
  const std::string packet =
      "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta xmlns:x='adobe:ns:meta/'>"
      "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
      "xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:title><rdf:Alt><rdf:li "
      "xml:lang='x-default'>Not this</rdf:li></rdf:Alt></dc:title><dc:description><rdf:Alt>"
      "<rdf:li xml:lang='x-default'>" +
      escapedText +
      "</rdf:li></rdf:Alt></dc:description></rdf:Description></rdf:RDF></x:xmpmeta>"
      "<?xpacket end='w'?>";
  TBytes payload;
  AppendText(payload, header);
  AppendText(payload, packet);
  return Marker(0xE1, payload);
}

TBytes IptcSegment(const std::string& caption) {
  const std::string header("Photoshop 3.0\0", 14);
  TBytes payload;
  AppendText(payload, header);
  const auto resource = [&payload](uint16_t id, const TBytes& data) {
    const std::string sig = "8BIM";
    AppendText(payload, sig);
    payload.push_back(static_cast<uint8_t>(id >> 8));
    payload.push_back(static_cast<uint8_t>(id));
    payload.push_back(0);  // empty name, padded to two bytes
    payload.push_back(0);
    const auto size = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8)
      payload.push_back(static_cast<uint8_t>(size >> shift));
    Append(payload, data.begin(), data.end());
    if (data.size() % 2 != 0) payload.push_back(0);
  };
  resource(0x03ED, TBytes(17, 1));  // an odd size: padded
  TBytes iptc;
  const auto dataset = [&iptc](uint8_t record, uint8_t number, const std::string& value) {
    for (const uint8_t b : {uint8_t{0x1C}, record, number, static_cast<uint8_t>(value.size() >> 8),
                            static_cast<uint8_t>(value.size())}) {
      iptc.push_back(b);
    }
    AppendText(iptc, value);
  };
  dataset(2, 0, std::string("\0\4", 2));
  dataset(2, 25, "harbour");
  dataset(2, 120, caption);
  resource(0x0404, iptc);
  return Marker(0xED, payload);
}

TBytes WithSegment(const TBytes& jpeg, const TBytes& segment) {
  TBytes out;
  Append(out, jpeg.begin(), jpeg.begin() + 2);
  Append(out, segment.begin(), segment.end());
  Append(out, jpeg.begin() + 2, jpeg.end());
  return out;
}

TDifference Compare(const TBitmap& a, const TBitmap& b) {
  TDifference d;
  double sum = 0;
  for (int32_t y = 0; y < a.Height(); ++y) {
    for (int32_t x = 0; x < a.Width(); ++x) {
      const TColor p = a.Pixel(x, y), q = b.Pixel(x, y);
      for (int c : {std::abs(GetRValue(p) - GetRValue(q)), std::abs(GetGValue(p) - GetGValue(q)),
                    std::abs(GetBValue(p) - GetBValue(q))}) {
        sum += c;
        d.Max = std::max(d.Max, c);
      }
    }
  }
  d.Mean = sum / (3.0 * a.Width() * a.Height());
  return d;
}

}  // namespace tovrin::test
