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
