#include "package/image.h"

#include "core/conversions.h"
#include "core/errors.h"
#include "gfx/jpeg_decoder.h"
#include "package/object_reader.h"

namespace tovrin {

// ---------------------------------------------------------------------------------------------
// TJPEGImage

TJPEGImage::TJPEGImage(std::vector<uint8_t> data) : FData(std::move(data)) {
  if (!FData.empty()) FHeader = ReadJPEGHeader(FData.data(), FData.size());
}

void TJPEGImage::ReadData(TStream& stream) {
  int32_t length = 0;
  uint8_t b[4];
  stream.ReadBuffer(b, 4);
  length = static_cast<int32_t>(b[0] | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                                (uint32_t{b[3]} << 24));
  // The length comes from the file: it must be backed by bytes before anything is allocated.
  if (length < 0 || length > stream.Remaining()) throw EReadError("Stream read error");
  std::vector<uint8_t> data(static_cast<size_t>(length));
  stream.ReadBuffer(data.data(), data.size());
  TJPEGHeader header;
  if (!data.empty()) header = ReadJPEGHeader(data.data(), data.size());
  FData = std::move(data);
  FHeader = header;
  FBitmap.reset();
}

const TBitmap& TJPEGImage::Bitmap() const {
  if (!FBitmap) {
    FBitmap = FData.empty() ? TBitmap() : DecodeJPEG(FData.data(), FData.size());
  }
  return *FBitmap;
}

TBitmap TJPEGImage::BitmapCovering(int32_t width, int32_t height) const {
  if (FData.empty()) return TBitmap();
  if (FBitmap) return *FBitmap;
  return DecodeJPEGCovering(FData.data(), FData.size(), width, height);
}

TBitmap TJPEGImage::BitmapPart(const TRect& part) const {
  if (FData.empty()) return TBitmap();
  if (FBitmap) return FBitmap->Part(part);
  return DecodeJPEGPart(FData.data(), FData.size(), part);
}

void TJPEGImage::WriteData(TStream& stream) const {
  if (FData.size() > 0x7FFFFFFF) throw EWriteError("Stream write error");
  const auto length = static_cast<uint32_t>(FData.size());
  const uint8_t b[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                        static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
  stream.WriteBuffer(b, 4);
  stream.WriteBuffer(FData.data(), FData.size());
}

std::unique_ptr<TStoredGraphic> CreateGraphicByClassName(std::string_view name) {
  // Exact, case-sensitive names: the graphic classes the system knows.
  if (name == "TJPEGImage") return std::make_unique<TJPEGImage>();
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TPicture

const TClassInfo& TPicture::StaticClassInfo() {
  static const TClassInfo info{"TPicture", nullptr, nullptr, {}};
  return info;
}

void TPicture::SetGraphic(std::unique_ptr<TStoredGraphic> graphic) {
  FGraphic = std::move(graphic);
  ++FChangeCount;
}

bool TPicture::ReadStoredProperty(std::string_view name, TReader& reader) {
  if (!SameText(name, "Data")) return false;
  if (reader.NextValue() != TValueType::vaBinary) {
    reader.SkipValue();
    throw EReadError("Invalid property value");
  }
  reader.ReadValue();
  // Picture data: class name (short string), then the graphic's own data.
  TMemoryStream data(reader.ReadBytes(reader.ReadInt32Raw()));
  uint8_t nameLength = 0;
  data.ReadBuffer(&nameLength, 1);
  std::string className(nameLength, '\0');
  data.ReadBuffer(className.data(), className.size());
  std::unique_ptr<TStoredGraphic> graphic = CreateGraphicByClassName(className);
  if (graphic) graphic->ReadData(data);
  SetGraphic(std::move(graphic));
  return true;
}

// ---------------------------------------------------------------------------------------------
// TImage

const TClassInfo& TImage::StaticClassInfo() {
  static const TClassInfo info{
      "TImage",
      &TComponent::StaticClassInfo(),
      [] { return std::make_unique<TImage>(); },
      {
          MakeProperty("Left", TPropKind::pkInteger, nullptr, &TImage::Left, &TImage::SetLeft),
          MakeProperty("Top", TPropKind::pkInteger, nullptr, &TImage::Top, &TImage::SetTop),
          MakeProperty("Width", TPropKind::pkInteger, nullptr, &TImage::Width, &TImage::SetWidth),
          MakeProperty("Height", TPropKind::pkInteger, nullptr, &TImage::Height,
                       &TImage::SetHeight),
          TPropInfo{"Picture", TPropKind::pkObject, nullptr,
                    [](TPersistent& o) -> TPropValue {
                      return static_cast<TPersistent*>(&static_cast<TImage&>(o).Picture());
                    },
                    nullptr},
      }};
  return info;
}

}  // namespace tovrin
