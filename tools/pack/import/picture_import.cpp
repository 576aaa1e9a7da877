#include "picture_import.h"

#include <algorithm>
#include <string_view>

#include "box_downscale.h"
#include "core/errors.h"
#include "gfx/bitmap.h"
#include "gfx/image_file.h"
#include "gfx/jpeg_decoder.h"
#include "heif_decode.h"
#include "jpeg_lossless_turn.h"
#include "orient_bitmap.h"
#include "package/jpeg_header.h"

namespace tovrin {

namespace {

TJPEGHeader ReadHeader(std::span<const uint8_t> file) {
  TJPEGHeader header;
  try {
    header = ReadJPEGHeader(file.data(), file.size());
  } catch (const Exception& e) {
    throw EInvalidGraphic("not a readable JPEG file (" + e.Message() + ")");
  }
  // A lossless turn holds all of the picture's coefficients; refuse what no bitmap could hold
  // before either way of turning it allocates anything.
  if (!TBitmap::SizeAllowed(header.Width, header.Height, TPixelFormat::pf24bit)) {
    throw EOutOfResources("JPEG picture of " + std::to_string(header.Width) + " x " +
                          std::to_string(header.Height) + " pixels is too large");
  }
  return header;
}

// A PNG file's size from its header chunk (IHDR, which must come first); 0 x 0 when the file is
// too short to hold it, which the decoder then refuses.
TPictureSize PngSize(std::span<const uint8_t> file) {
  if (file.size() < 24 || std::string_view(reinterpret_cast<const char*>(&file[12]), 4) != "IHDR") {
    return {};
  }
  const auto be32 = [&](size_t at) {
    return (uint32_t{file[at]} << 24) | (uint32_t{file[at + 1]} << 16) |
           (uint32_t{file[at + 2]} << 8) | file[at + 3];
  };
  const uint32_t w = be32(16), h = be32(20);
  if (w > INT32_MAX || h > INT32_MAX) return {};
  return {static_cast<int32_t>(w), static_cast<int32_t>(h)};
}

TPictureSize UprightSize(int32_t width, int32_t height, int orientation) {
  if (OrientationSwapsSides(orientation)) return {height, width};
  return {width, height};
}

// The stored picture from a decoded one: turned, shrunk to `size` when larger, encoded.
TImportedPicture Encode(TBitmap decoded, int orientation, const TFitBox& fit, int quality) {
  if (orientation != 1) decoded = OrientBitmap(decoded, orientation);
  const TPictureSize size = FittedSize(decoded.Width(), decoded.Height(), fit);
  if (size.Width != decoded.Width() || size.Height != decoded.Height()) {
    decoded = BoxDownscale(decoded, size.Width, size.Height);
  }
  TImportedPicture picture;
  picture.Action = TImportAction::iaReencoded;
  picture.Jpeg = EncodeJpeg(decoded, quality);
  picture.Width = decoded.Width();
  picture.Height = decoded.Height();
  return picture;
}

TImportedPicture ImportJpeg(std::span<const uint8_t> file, const TImportPlan& plan,
                            const TImportOptions& options) {
  const TPictureSize upright = UprightSize(plan.Width, plan.Height, plan.Orientation);
  const TPictureSize fitted = FittedSize(upright.Width, upright.Height, options.Fit);
  TImportedPicture picture;
  if (plan.CopyAsIs) {
    picture.Width = plan.Width;
    picture.Height = plan.Height;
  } else if (fitted == upright) {
    TLosslessTurn turn = TurnJpegLossless(file, plan.Orientation);
    if (turn.Done()) {
      picture.Action = TImportAction::iaTurned;
      picture.Jpeg = std::move(turn.Jpeg);
      picture.Width = upright.Width;
      picture.Height = upright.Height;
    }
  }
  if (!plan.CopyAsIs && picture.Jpeg.empty()) {
    // Decode no larger than needed: the fitted size, in the stored picture's orientation.
    const TPictureSize least = UprightSize(fitted.Width, fitted.Height, plan.Orientation);
    int warnings = 0;
    TBitmap decoded =
        DecodeJPEGForReencoding(file.data(), file.size(), least.Width, least.Height, &warnings);
    picture = Encode(std::move(decoded), plan.Orientation, options.Fit, options.Quality);
    if (warnings > 0) {
      picture.Warnings.push_back("its JPEG data is damaged; stored as far as it could be decoded");
    }
  }
  if (plan.Exif.State == TExifState::esDamaged) {
    picture.Warnings.push_back("its EXIF data cannot be read (" + plan.Exif.Problem +
                               "); stored as it is, not turned");
  }
  return picture;
}

}  // namespace

TImportPlan PlanImport(std::span<const uint8_t> file, const TImportOptions& options) {
  TImportPlan plan;
  plan.Type = SniffPictureType(file.first(std::min<size_t>(file.size(), 64)));
  if (plan.Type == TPictureType::ptUnknown) {
    throw EInvalidGraphic("not a picture this tool reads (it reads " + AcceptedPictureTypes() +
                          " files)");
  }
  if (!PictureTypeSupported(plan.Type)) {
    throw EInvalidGraphic(std::string("a ") + PictureTypeName(plan.Type) +
                          " picture, which this build of tovrin-pack cannot read (it reads " +
                          AcceptedPictureTypes() + " files)");
  }
  if (plan.Type == TPictureType::ptPng) {
    const TPictureSize size = PngSize(file);
    plan.Width = size.Width;
    plan.Height = size.Height;
  }
  if (plan.Type == TPictureType::ptHeif) {
    const TPictureSize size = HeifPictureSize(file);
    plan.Width = size.Width;
    plan.Height = size.Height;
  }
  if (plan.Type != TPictureType::ptJpeg) return plan;

  const TJPEGHeader header = ReadHeader(file);
  plan.Width = header.Width;
  plan.Height = header.Height;
  plan.Grey = header.Grayscale;
  plan.Progressive = header.Progressive;
  if (options.ApplyOrientation) {
    plan.Exif = ReadExifOrientation(file);
    if (plan.Exif.State == TExifState::esFound) plan.Orientation = plan.Exif.Value;
  }
  const TPictureSize upright = UprightSize(plan.Width, plan.Height, plan.Orientation);
  plan.CopyAsIs =
      plan.Orientation == 1 && FittedSize(upright.Width, upright.Height, options.Fit) == upright;
  return plan;
}

TImportedPicture ImportPicture(std::span<const uint8_t> file, const TImportOptions& options) {
  return ImportPicture(file, PlanImport(file, options), options);
}

TImportedPicture ImportPicture(std::span<const uint8_t> file, const TImportPlan& plan,
                               const TImportOptions& options) {
  switch (plan.Type) {
    case TPictureType::ptJpeg:
      return ImportJpeg(file, plan, options);
    case TPictureType::ptPng:
      return Encode(DecodePNG(file), 1, options.Fit, options.Quality);
    case TPictureType::ptHeif:
      return Encode(DecodeHeif(file), 1, options.Fit, options.Quality);
    case TPictureType::ptUnknown:
      break;
  }
  throw EInvalidGraphic("not a picture this tool reads");  // PlanImport refused it already
}

int64_t ImportWorkingMemory(const TImportPlan& plan, int64_t fileSize,
                            const TImportOptions& options) {
  if (plan.CopyAsIs) return fileSize;
  const int64_t pixels = int64_t{plan.Width} * plan.Height;
  const auto bitmapBytes = [](int32_t width, int32_t height, TPixelFormat format) {
    return static_cast<int64_t>(TBitmap::StrideFor(width, format)) * height;
  };
  if (plan.Type == TPictureType::ptPng) {
    return fileSize + 2 * bitmapBytes(plan.Width, plan.Height, TPixelFormat::pf24bit);
  }
  if (plan.Type == TPictureType::ptHeif) {
    const int64_t bitmap = bitmapBytes(plan.Width, plan.Height, TPixelFormat::pf24bit);
    return fileSize + std::max({10 * pixels, 4 * pixels + bitmap, 2 * bitmap});
  }
  // JPEG, as ImportJpeg goes about it.
  const TPictureSize upright = UprightSize(plan.Width, plan.Height, plan.Orientation);
  const TPictureSize fitted = FittedSize(upright.Width, upright.Height, options.Fit);
  const TPictureSize least = UprightSize(fitted.Width, fitted.Height, plan.Orientation);
  const TDecodedSize decoded =
      JPEGReencodingSize(plan.Width, plan.Height, least.Width, least.Height);
  const TPixelFormat format = plan.Grey ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  const int64_t coefficients = pixels * (plan.Grey ? 2 : 6);
  int64_t most = fileSize + 2 * bitmapBytes(decoded.Width, decoded.Height, format) +
                 (plan.Progressive ? coefficients : 0);
  if (fitted == upright) most = std::max(most, 3 * fileSize + 2 * coefficients);
  return most;
}

}  // namespace tovrin
