// The picture item's object model: TImage (a control with a position, a size and a Picture),
// TPicture (holds one graphic and reads the stored property "Data"), TStoredGraphic and TJPEGImage.
//
// Picture data, the payload of the Binary value of "Picture.Data":
//   class name: short string ("TJPEGImage")
//   graphic data, for TJPEGImage: int32 J, then J bytes of a JPEG file
// An unknown graphic class leaves the picture empty without an error.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/bitmap.h"
#include "package/jpeg_header.h"
#include "package/persistent.h"
#include "package/stream.h"

namespace tovrin {

// A graphic as a picture item stores it (not to be confused with gfx's TGraphic, which only
// gives pixels).
class TStoredGraphic {
 public:
  virtual ~TStoredGraphic() = default;
  virtual std::string_view ClassName() const = 0;
  // Reads the graphic's own data from the rest of the picture data.
  virtual void ReadData(TStream& stream) = 0;
  // Writes the graphic's own data (the part after the class name).
  virtual void WriteData(TStream& stream) const = 0;
  virtual int32_t Width() const = 0;
  virtual int32_t Height() const = 0;
  virtual bool Empty() const = 0;
};

class TJPEGImage : public TStoredGraphic {
 public:
  TJPEGImage() = default;
  // A graphic holding these JPEG bytes; parses the header when there are any.
  explicit TJPEGImage(std::vector<uint8_t> data);

  std::string_view ClassName() const override { return "TJPEGImage"; }
  // int32 J, then J bytes; J > 0 parses the header at once (EInvalidGraphic on a bad header).
  // A negative J, or one larger than the stream holds, fails with "Stream read error".
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) const override;
  int32_t Width() const override { return FHeader.Width; }
  int32_t Height() const override { return FHeader.Height; }
  bool Empty() const override { return FData.empty(); }
  bool Grayscale() const { return FHeader.Grayscale; }
  bool ProgressiveEncoding() const { return FHeader.Progressive; }

  const std::vector<uint8_t>& Data() const { return FData; }

  // The picture's pixels, decoded at the first call (gfx DecodeJPEG) and kept for later calls.
  // A colour picture gives a pf24bit bitmap, a grey-scale one pf8bit. An empty graphic gives an
  // empty bitmap. Decoder failures (EInvalidGraphic, EOutOfResources) pass to the caller, and the
  // next call tries again.
  const TBitmap& Bitmap() const;
  // The pixels decoded at a reduced size that still covers width x height (DecodeJPEGCovering),
  // for a picture about to be drawn scaled down; not kept. Errors as for Bitmap.
  TBitmap BitmapCovering(int32_t width, int32_t height) const;
  // The pixels inside part (clipped to the picture), those Bitmap has there, decoded only as far
  // as the part needs (DecodeJPEGPart) unless the whole picture is decoded already; not kept.
  // Errors as for Bitmap.
  TBitmap BitmapPart(const TRect& part) const;

 private:
  std::vector<uint8_t> FData;
  TJPEGHeader FHeader;
  mutable std::optional<TBitmap> FBitmap;
};

// Creates a graphic by its exact (case-sensitive) class name; nullptr for an unknown class.
std::unique_ptr<TStoredGraphic> CreateGraphicByClassName(std::string_view name);

class TPicture : public TPersistent {
 public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  bool IsSubComponent() const override { return true; }
  // "Data": must be a Binary value; see the layout above.
  bool ReadStoredProperty(std::string_view name, TReader& reader) override;

  TStoredGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TStoredGraphic> graphic);
  int32_t Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int32_t Height() const { return FGraphic ? FGraphic->Height() : 0; }

  // Counts the changes of the graphic (the picture reports itself changed).
  int ChangeCount() const { return FChangeCount; }

 private:
  std::unique_ptr<TStoredGraphic> FGraphic;
  int FChangeCount = 0;
};

class TImage : public TComponent {
 public:
  static constexpr int32_t DefaultSize = 105;

  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  int32_t Left() const { return FLeft; }
  void SetLeft(int32_t v) { FLeft = v; }
  int32_t Top() const { return FTop; }
  void SetTop(int32_t v) { FTop = v; }
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t v) { FWidth = v; }
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t v) { FHeight = v; }
  TPicture& Picture() { return FPicture; }
  const TPicture& Picture() const { return FPicture; }

 private:
  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = DefaultSize;
  int32_t FHeight = DefaultSize;
  TPicture FPicture;
};

}  // namespace tovrin
