#include "gfx/image_file.h"

#include <cctype>
#include <fstream>
#include <iterator>

#include "core/errors.h"
#include "gfx/draw.h"
#include "gfx/jpeg_decoder.h"

namespace tovrin {

namespace {

[[noreturn]] void BadPPM(const std::string& why) {
  throw EInvalidGraphic("Invalid PPM file: " + why);
}

// Reads the header's next number: skips white space and "#" comments, then decimal digits.
int32_t ReadHeaderNumber(const std::vector<uint8_t>& bytes, size_t& pos, const char* what) {
  for (;;) {
    if (pos >= bytes.size()) BadPPM(std::string("missing ") + what);
    const uint8_t c = bytes[pos];
    if (c == '#') {
      while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r') ++pos;
    } else if (std::isspace(c)) {
      ++pos;
    } else {
      break;
    }
  }
  if (!std::isdigit(bytes[pos])) BadPPM(std::string("bad ") + what);
  int64_t value = 0;
  while (pos < bytes.size() && std::isdigit(bytes[pos])) {
    value = value * 10 + (bytes[pos] - '0');
    if (value > 0x7FFFFFFF) BadPPM(std::string(what) + " out of range");
    ++pos;
  }
  return static_cast<int32_t>(value);
}

}  // namespace

TBitmap ReadPPM(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6') BadPPM("not a binary PPM (P6)");
  size_t pos = 2;
  const int32_t width = ReadHeaderNumber(bytes, pos, "width");
  const int32_t height = ReadHeaderNumber(bytes, pos, "height");
  const int32_t maxval = ReadHeaderNumber(bytes, pos, "maximum value");
  if (width == 0 || height == 0) BadPPM("empty picture");
  if (maxval != 255) BadPPM("maximum value " + std::to_string(maxval) + " is not 255");
  if (pos >= bytes.size() || !std::isspace(bytes[pos])) BadPPM("no white space after header");
  ++pos;
  if (!TBitmap::SizeAllowed(width, height, TPixelFormat::pf24bit)) {
    throw EOutOfResources("PPM picture of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels is too large");
  }
  // Checked before allocating: the file must hold every pixel it announces.
  const uint64_t needed = uint64_t(width) * uint64_t(height) * 3;
  if (bytes.size() - pos < needed) BadPPM("pixel data is truncated");

  TBitmap bitmap(width, height);
  const uint8_t* in = bytes.data() + pos;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = bitmap.ScanLine(y);
    for (int32_t x = 0; x < width; ++x, in += 3) {
      row[3 * x] = in[2];
      row[3 * x + 1] = in[1];
      row[3 * x + 2] = in[0];
    }
  }
  return bitmap;
}

std::vector<uint8_t> EncodePPM(const TBitmap& bitmap) {
  const std::string header =
      "P6\n" + std::to_string(bitmap.Width()) + " " + std::to_string(bitmap.Height()) + "\n255\n";
  std::vector<uint8_t> out(header.begin(), header.end());
  out.reserve(out.size() + size_t(bitmap.Width()) * size_t(bitmap.Height()) * 3);
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bitmap.ScanLine(y);
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.PixelFormat() == TPixelFormat::pf24bit) {
        out.insert(out.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
      } else {
        const TPaletteEntry& e = bitmap.Palette()[row[x]];
        out.insert(out.end(), {e.Red, e.Green, e.Blue});
      }
    }
  }
  return out;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file " + path);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  if (in.bad()) throw EReadError("Stream read error");
  return bytes;
}

namespace {

void WriteFileBytes(const std::vector<uint8_t>& bytes, const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw EFCreateError("Cannot create file " + path);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) throw EWriteError("Stream write error");
}

}  // namespace

TBitmap LoadPPM(const std::string& path) {
  return ReadPPM(ReadFileBytes(path));
}

void SavePPM(const TBitmap& bitmap, const std::string& path) {
  WriteFileBytes(EncodePPM(bitmap), path);
}

void SavePNG(const TBitmap& bitmap, const std::string& path) {
  WriteFileBytes(EncodePNG(bitmap), path);
}

TBitmap ReadJPEG(const std::vector<uint8_t>& bytes) {
  TBitmap decoded = DecodeJPEG(bytes.data(), bytes.size());
  if (decoded.PixelFormat() == TPixelFormat::pf24bit) return decoded;
  TBitmap expanded(decoded.Width(), decoded.Height());
  Draw(expanded, 0, 0, decoded);
  return expanded;
}

TBitmap LoadJPEG(const std::string& path) {
  return ReadJPEG(ReadFileBytes(path));
}

}  // namespace tovrin
