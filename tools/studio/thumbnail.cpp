#include "thumbnail.h"

#include <algorithm>

#include "gfx/draw.h"
#include "gfx/fit.h"
#include "gfx/jpeg_decoder.h"
#include "gfx/stretch.h"
#include "import/box_downscale.h"
#include "import/jpeg_encode.h"
#include "import/orient_bitmap.h"
#include "import/picture_import.h"

namespace tovrin {

namespace {

constexpr int kThumbnailQuality = 85;

}  // namespace

TBitmap DecodeUpright(std::span<const uint8_t> file, int32_t width, int32_t height) {
  const TImportOptions options;
  const TImportPlan plan = PlanImport(file, options);
  TBitmap picture;
  if (plan.Type == TPictureType::ptJpeg) {
    const bool swaps = OrientationSwapsSides(plan.Orientation);
    // libjpeg's fastest reduced decoding (1/2, 1/4, 1/8 with plain chroma doubling): the picture
    // is filtered down to the thumbnail anyway.
    picture = DecodeJPEGForReencoding(file.data(), file.size(), swaps ? height : width,
                                      swaps ? width : height);
    if (plan.Orientation != 1) picture = OrientBitmap(picture, plan.Orientation);
  } else {
    // Other kinds have no reduced decoding: the import fits them into the box, as JPEG.
    TImportOptions fitted = options;
    fitted.Fit = TFitBox{std::max(1, width), std::max(1, height)};
    const TImportedPicture imported = ImportPicture(file, plan, fitted);
    const std::vector<uint8_t>& jpeg =
        imported.Jpeg.empty() ? std::vector<uint8_t>(file.begin(), file.end()) : imported.Jpeg;
    picture = DecodeJPEG(jpeg.data(), jpeg.size());
  }
  if (picture.PixelFormat() == TPixelFormat::pf24bit) return picture;
  // Grey pictures come as palette indices; everything after works on colour pixels.
  TBitmap colour(picture.Width(), picture.Height());
  Draw(colour, 0, 0, picture);
  return colour;
}

std::vector<uint8_t> MakeThumbnail(std::span<const uint8_t> file, int32_t size) {
  TBitmap picture = DecodeUpright(file, size, size);
  const int32_t w = picture.Width();
  const int32_t h = picture.Height();
  if (w > size || h > size) {
    const int32_t longest = std::max(w, h);
    const int32_t tw = std::max<int32_t>(1, static_cast<int32_t>(int64_t{w} * size / longest));
    const int32_t th = std::max<int32_t>(1, static_cast<int32_t>(int64_t{h} * size / longest));
    picture = BoxDownscale(picture, tw, th);
  }
  return EncodeJpeg(picture, kThumbnailQuality);
}

TBitmap FittedOnBlack(const TBitmap& picture, int32_t width, int32_t height) {
  TBitmap out(width, height);
  out.Fill(clBlack);
  if (picture.Width() > 0 && picture.Height() > 0) {
    const TRect place =
        FitRect(TRect{0, 0, picture.Width(), picture.Height()}, TRect{0, 0, width, height});
    StretchDrawGraphic(out, place, picture);
  }
  return out;
}

}  // namespace tovrin
