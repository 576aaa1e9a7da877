// Fuzz target for what the preview and tovrin-pack do with a JPEG file's bytes:
//   - the decode at a reduced scale that covers a box (DecodeJPEGCovering, the preview's),
//   - the EXIF orientation read, and cleared in a copy,
//   - the date, description and GPS position read for captions,
//   - the lossless turn,
//   - the picture type sniffed, and the import planned and done: the decode for re-encoding, the
//     turn, the box filter and the encoder.
// The input is four bytes of parameters followed by the file:
//   [0] [1]  the box, width and height in steps of 8 pixels (0: no box)
//   [2]      the orientation asked of the lossless turn (0 to 8, taken modulo 9)
//   [3]      the encoder's quality, 1 + [3] modulo 100
// Every result is checked against what its function promises; a broken promise traps.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/errors.h"
#include "gfx/jpeg_decoder.h"
#include "import/exif_orientation.h"
#include "import/jpeg_lossless_turn.h"
#include "import/photo_metadata.h"
#include "import/picture_import.h"
#include "import/picture_type.h"
#include "jpeg_maker.h"
#include "package/jpeg_header.h"
#include "picture_samples.h"
#include "seed_corpus.h"

namespace tovrin::fuzz {

namespace {

constexpr size_t kParameterBytes = 4;
// Pictures whose header announces more pixels than this are not imported or turned here: those
// steps hold the whole picture (several copies of it) at full size, which for the largest
// picture a bitmap may hold is beyond the fuzzer's memory limit by design. The reduced decode
// into a box, the header and the EXIF reads see every input.
constexpr int64_t kMaxFullSizePixels = int64_t{16} << 20;

void Require(bool promise) {
  if (!promise) __builtin_trap();
}

TSeeds JpegImportSeeds() {
  using testing::MakeJpeg;
  using testing::TJpegKind;
  const auto pattern = [](int x, int y) {
    return uint32_t((x * 29) << 16 | (y * 41) << 8 | (x + y));
  };
  struct TSeed {
    std::vector<uint8_t> Parameters;
    std::vector<uint8_t> Jpeg;
  };
  std::vector<TSeed> seeds;
  // Camera pictures under every orientation, big- and little-endian EXIF.
  const TBitmap upright = test::UprightPicture(40, 24);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    const test::TExifFields exif{orientation, orientation % 2 == 0};
    seeds.push_back({{0, 0, static_cast<uint8_t>(orientation), 91},
                     test::WithSegment(test::JpegOf(test::StoredFor(upright, orientation)),
                                       test::ExifSegment(test::OrientationTiff(exif)))});
  }
  // Sizes that are and are not whole MCUs, with a box that makes the import shrink them.
  seeds.push_back({{2, 2, 6, 80}, test::JpegOf(test::UprightPicture(33, 17))});
  // Every kind of caption metadata in one file.
  seeds.push_back(
      {{0, 0, 1, 80},
       test::WithSegment(
           test::WithSegment(test::WithSegment(test::JpegOf(test::UprightPicture(8, 8)),
                                               test::ExifSegment(test::CaptionTiff(
                                                   true, "exif", "2023:07:14 18:02:11"))),
                             test::IptcSegment("Z\xFCrich")),
           test::XmpSegment("a &amp; b &#x2014;"))});
  // GPS positions as EXIF (big-endian, south and west) and XMP write them.
  seeds.push_back(
      {{0, 0, 1, 80},
       test::WithSegment(
           test::WithSegment(test::JpegOf(test::UprightPicture(8, 8)),
                             test::ExifSegment(test::GpsTiff({true,
                                                              "S",
                                                              "W",
                                                              {{22, 1}, {57, 1}, {684, 100}},
                                                              {{43, 1}, {12, 1}, {378, 10}}}))),
           test::XmpPacketSegment(" exif:GPSLatitude='51,30.5N' exif:GPSLongitude='0,7.5W'>"))});
  seeds.push_back({{1, 3, 8, 50}, test::JpegOf(test::UprightPicture(64, 48))});
  // Every kind the decoder handles.
  seeds.push_back({{1, 1, 3, 75}, MakeJpeg(16, 16, TJpegKind::Grey, pattern, 75)});
  seeds.push_back({{3, 2, 5, 75}, MakeJpeg(40, 24, TJpegKind::Progressive, pattern, 75)});
  seeds.push_back({{0, 0, 2, 75}, MakeJpeg(24, 9, TJpegKind::GreyProgressive, pattern, 75)});
  seeds.push_back({{1, 1, 7, 75}, MakeJpeg(9, 9, TJpegKind::CmykAdobe, pattern, 75)});
  seeds.push_back({{0, 1, 4, 75}, MakeJpeg(8, 12, TJpegKind::CmykPlain, pattern, 75)});
  TSeeds out;
  for (TSeed& s : seeds) {
    s.Parameters.insert(s.Parameters.end(), s.Jpeg.begin(), s.Jpeg.end());
    out.push_back(std::move(s.Parameters));
  }
  return out;
}

// Reads every row's last pixel byte, so that a wrongly sized bitmap shows up under ASan.
void TouchRows(const TBitmap& bitmap) {
  static volatile uint32_t sink = 0;
  if (bitmap.Empty()) return;
  const size_t last = size_t(bitmap.Width()) * size_t(bitmap.BytesPerPixel()) - 1;
  for (int32_t y = 0; y < bitmap.Height(); ++y) sink = sink + bitmap.ScanLine(y)[last];
}

// header: the picture's size when its header could be read (0 x 0 otherwise).
void CheckScaledDecode(std::span<const uint8_t> file, const TFitBox& box,
                       const TJPEGHeader& header) {
  try {
    const TBitmap b = DecodeJPEGCovering(file.data(), file.size(), box.Width, box.Height);
    // Never larger than the picture; at a reduced size only when that still covers the box.
    Require(b.Width() <= header.Width && b.Height() <= header.Height);
    const bool reduced = b.Width() < header.Width || b.Height() < header.Height;
    Require(!reduced || (!box.Empty() && b.Width() >= box.Width && b.Height() >= box.Height));
    TouchRows(b);
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfResources&) {
  }
}

// The caption metadata: text found comes from the file (a Latin-1 byte at most doubles in
// UTF-8; a character reference is never shorter than what it stands for).
void CheckMetadata(std::span<const uint8_t> file) {
  const TPhotoMetadata meta = ReadPhotoMetadata(file);
  Require(meta.DateTaken.size() <= file.size());
  Require(meta.Description.size() <= 2 * file.size());
  // A position is on the globe or absent.
  Require(!meta.Position || (meta.Position->Latitude >= -90 && meta.Position->Latitude <= 90 &&
                             meta.Position->Longitude >= -180 && meta.Position->Longitude <= 180));
}

void CheckExif(std::span<const uint8_t> file) {
  const TExifOrientation found = ReadExifOrientation(file);
  if (found.State != TExifState::esFound) {
    std::vector<uint8_t> copy(file.begin(), file.end());
    Require(!ClearExifOrientation(copy));
    return;
  }
  Require(found.Value >= 1 && found.Value <= 8);
  Require(found.ValueOffset <= file.size() && file.size() - found.ValueOffset >= 2);
  const uint8_t* v = file.data() + found.ValueOffset;
  Require((found.BigEndian ? (v[0] << 8 | v[1]) : (v[1] << 8 | v[0])) == found.Value);
  std::vector<uint8_t> copy(file.begin(), file.end());
  Require(ClearExifOrientation(copy) == (found.Value != 1));
  const TExifOrientation cleared = ReadExifOrientation(copy);
  Require(cleared.State == TExifState::esFound && cleared.Value == 1 &&
          cleared.ValueOffset == found.ValueOffset);
}

void CheckLosslessTurn(std::span<const uint8_t> file, int orientation, const TJPEGHeader& header) {
  const TLosslessTurn turn = TurnJpegLossless(file, orientation);
  if (!turn.Done()) return;
  Require(orientation >= 2 && orientation <= 8 && !turn.Jpeg.empty());
  // The turned file is a JPEG of the turned size that no viewer turns a second time.
  const TExifOrientation exif = ReadExifOrientation(turn.Jpeg);
  Require(exif.State != TExifState::esFound || exif.Value == 1);
  const TJPEGHeader turned = ReadJPEGHeader(turn.Jpeg.data(), turn.Jpeg.size());
  const bool swaps = orientation >= 5;
  Require(turned.Width == (swaps ? header.Height : header.Width));
  Require(turned.Height == (swaps ? header.Width : header.Height));
}

void CheckImport(std::span<const uint8_t> file, const TImportOptions& options) {
  try {
    const TImportedPicture picture = ImportPicture(file, options);
    Require(picture.Width > 0 && picture.Height > 0);
    if (!options.Fit.Empty()) {
      Require(picture.Width <= options.Fit.Width || picture.Action == TImportAction::iaCopied);
      Require(picture.Height <= options.Fit.Height || picture.Action == TImportAction::iaCopied);
    }
    if (picture.Action == TImportAction::iaCopied) {
      Require(picture.Jpeg.empty());
      return;
    }
    // What is stored must decode to the size the import reports, upright.
    const TBitmap stored = DecodeJPEG(picture.Jpeg.data(), picture.Jpeg.size());
    Require(stored.Width() == picture.Width && stored.Height() == picture.Height);
    const TExifOrientation exif = ReadExifOrientation(picture.Jpeg);
    Require(exif.State != TExifState::esFound || exif.Value == 1);
  } catch (const EInvalidGraphic&) {
  } catch (const EOutOfResources&) {
  }
}

}  // namespace

}  // namespace tovrin::fuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  tovrin::fuzz::HandleSeedCorpusArgument(*argc, *argv, tovrin::fuzz::JpegImportSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tovrin;
  using namespace tovrin::fuzz;
  if (size < kParameterBytes) return 0;
  const std::span<const uint8_t> file(data + kParameterBytes, size - kParameterBytes);
  const TFitBox box{data[0] * 8, data[1] * 8};
  const int orientation = data[2] % 9;
  const int quality = 1 + data[3] % 100;

  TJPEGHeader header;
  bool headerRead = false;
  try {
    header = ReadJPEGHeader(file.data(), file.size());
    headerRead = true;
  } catch (const Exception&) {
  }
  const bool huge = int64_t{header.Width} * header.Height > kMaxFullSizePixels;
  // Without a box the decode is at full size.
  if (!box.Empty() || !huge) CheckScaledDecode(file, box, header);
  CheckExif(file);
  CheckMetadata(file);
  const TPictureType type = SniffPictureType(file);
  Require(type != TPictureType::ptJpeg || (file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF));
  if (type != TPictureType::ptJpeg || !headerRead) return 0;
  if (huge) return 0;
  CheckLosslessTurn(file, orientation, header);
  CheckImport(file, TImportOptions{true, box, quality});
  return 0;
}
