// TGraphic: a picture of any kind that can give its pixels as a TBitmap.
//
// The picture control holds its Picture and BgPicture as TGraphics, so it works with anything
// that can produce pixels: TBitmapGraphic below (a composed frame, a test picture), or a decoded
// JPEG picture of the package layer, which may decode lazily in Bitmap(). A graphic is immutable
// once made; holders copy it with Clone().
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "gfx/bitmap.h"

namespace tovrin {

class TGraphic {
 public:
  virtual ~TGraphic() = default;

  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
  // The pixels, Width() x Height(), pf24bit or pf8bit with a palette. The reference stays valid
  // as long as the graphic. May raise the error of a failed decode (EInvalidGraphic).
  virtual const TBitmap& Bitmap() const = 0;
  // An independent copy.
  virtual std::unique_ptr<TGraphic> Clone() const = 0;
};

// A graphic that is a bitmap.
class TBitmapGraphic final : public TGraphic {
 public:
  TBitmapGraphic() = default;
  explicit TBitmapGraphic(TBitmap bitmap) : FBitmap(std::move(bitmap)) {}

  int32_t Width() const override { return FBitmap.Width(); }
  int32_t Height() const override { return FBitmap.Height(); }
  const TBitmap& Bitmap() const override { return FBitmap; }
  std::unique_ptr<TGraphic> Clone() const override {
    return std::make_unique<TBitmapGraphic>(FBitmap);
  }

 private:
  TBitmap FBitmap;
};

}  // namespace tovrin
