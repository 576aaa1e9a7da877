#include <gtest/gtest.h>

#include "core/errors.h"
#include "package/image.h"
#include "package/object_reader.h"
#include "package/object_writer.h"
#include "test_bytes.h"
#include "test_jpeg.h"

namespace tovrin {
namespace {

using test::MakeJPEG;
using test::TBytes;

class PictureItem : public ::testing::Test {
 protected:
  void SetUp() override { RegisterStreamClass(TImage::StaticClassInfo()); }

  static std::vector<uint8_t> Written(const std::vector<uint8_t>& jpeg) {
    TMemoryStream s;
    WritePictureItem(s, jpeg);
    return s.Bytes();
  }
  static std::unique_ptr<TImage> Read(const std::vector<uint8_t>& bytes) {
    TMemoryStream s(bytes);
    return ReadObjectStreamAs<TImage>(s);
  }
};

TEST_F(PictureItem, WriterProducesTheExactLayout) {
  const std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0x01, 0x02, 0xFF, 0xD9};
  TBytes expected;
  expected.Sig().Short("TImage").Byte(0);
  expected.Short("Left").Byte(2).Byte(0).Short("Top").Byte(2).Byte(0);
  expected.Short("Width").Byte(2).Byte(0x69).Short("Height").Byte(2).Byte(0x69);
  expected.Short("Picture.Data").Byte(0x0A).Int32(6 + 15).Short("TJPEGImage").Int32(6).Raw(jpeg);
  expected.Byte(0).Byte(0);
  EXPECT_EQ(Written(jpeg), expected.Bytes());
}

TEST_F(PictureItem, RoundTripParsesTheHeader) {
  struct Case {
    int W, H;
    bool Grey, Progressive;
  };
  for (const Case c :
       {Case{40, 30, false, false}, Case{17, 9, true, false}, Case{64, 48, false, true}}) {
    const std::vector<uint8_t> jpeg = MakeJPEG(c.W, c.H, c.Grey, c.Progressive);
    std::vector<uint8_t> bytes = Written(jpeg);
    const size_t end = bytes.size();
    bytes.push_back(0x55);  // the next item
    TMemoryStream s(bytes);
    std::unique_ptr<TImage> image = ReadObjectStreamAs<TImage>(s);
    EXPECT_EQ(s.Position(), static_cast<int64_t>(end));
    EXPECT_EQ(image->Left(), 0);
    EXPECT_EQ(image->Top(), 0);
    EXPECT_EQ(image->Width(), 105);
    EXPECT_EQ(image->Height(), 105);
    const auto* graphic = dynamic_cast<const TJPEGImage*>(image->Picture().Graphic());
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(graphic->Data(), jpeg);
    EXPECT_EQ(graphic->Width(), c.W);
    EXPECT_EQ(graphic->Height(), c.H);
    EXPECT_EQ(graphic->Grayscale(), c.Grey);
    EXPECT_EQ(graphic->ProgressiveEncoding(), c.Progressive);
    // Pixels on demand, through the graphics layer's decoder, kept for the next call.
    const TBitmap& bitmap = graphic->Bitmap();
    EXPECT_EQ(bitmap.Width(), c.W);
    EXPECT_EQ(bitmap.Height(), c.H);
    EXPECT_EQ(bitmap.PixelFormat(), c.Grey ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    EXPECT_EQ(&graphic->Bitmap(), &bitmap);
  }
}

TEST_F(PictureItem, UnknownGraphicClassLeavesThePictureEmpty) {
  TBytes b;
  b.Sig().Header("TImage").Prop("Picture.Data").Byte(10).Int32(1 + 9 + 3).Short("TBMPImage");
  b.Raw("xyz").Prop("Width").Int16Val(300).End().End();
  // Graphic class names are exact: letter case matters here.
  TBytes lower;
  lower.Sig().Header("TImage").Prop("Picture.Data").Byte(10).Int32(1 + 10 + 4).Short("tjpegimage");
  lower.Int32(0).End().End();
  for (const TBytes& item : {b, lower}) {
    std::unique_ptr<TImage> image = Read(item.Bytes());
    EXPECT_EQ(image->Picture().Graphic(), nullptr);
  }
  EXPECT_EQ(Read(b.Bytes())->Width(), 300);
}

TEST_F(PictureItem, EmptyJPEGAndBrokenJPEG) {
  // J = 0: a graphic with no data, no header parsed.
  TMemoryStream s0 = TMemoryStream(Written({}));
  std::unique_ptr<TImage> empty = ReadObjectStreamAs<TImage>(s0);
  ASSERT_NE(empty->Picture().Graphic(), nullptr);
  EXPECT_TRUE(empty->Picture().Graphic()->Empty());

  // Bytes that are not a JPEG: libjpeg's message, wrapped, as EInvalidGraphic.
  TMemoryStream s1(Written({'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}));
  try {
    ReadObjectStream(s1, nullptr);
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_TRUE(e.Message().starts_with("Error reading TImage.Picture.Data: JPEG error: "))
        << e.Message();
  }
}

TEST_F(PictureItem, DataMustBeBinary) {
  TBytes b;
  b.Sig().Header("TImage").Prop("picture.data").StrVal("TJPEGImage").End().End();
  TMemoryStream s = b.Stream();
  try {
    ReadObjectStream(s, nullptr);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Error reading TImage.picture.data: Invalid property value");
  }
}

TEST_F(PictureItem, TruncationAtEveryLengthFailsCleanly) {
  const std::vector<uint8_t> full = Written(MakeJPEG(16, 16));
  for (size_t len = 0; len < full.size(); ++len) {
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<ptrdiff_t>(len));
    TMemoryStream s(cut);
    try {
      ReadObjectStream(s, nullptr);
      ADD_FAILURE() << "a picture item cut at " << len << " bytes was read";
    } catch (const Exception& e) {
      EXPECT_TRUE(e.Message().ends_with("Stream read error")) << len << ": " << e.Message();
    }
  }
}

TEST_F(PictureItem, FlippedBytesNeverCrash) {
  const std::vector<uint8_t> full = Written(MakeJPEG(8, 8));
  int failures = 0;
  for (size_t i = 0; i < full.size(); ++i) {
    for (const uint8_t mask : {0x01, 0x80, 0xFF}) {
      std::vector<uint8_t> bytes = full;
      bytes[i] ^= mask;
      TMemoryStream s(bytes);
      try {
        ReadObjectStream(s, nullptr);
      } catch (const Exception&) {
        ++failures;
      }
    }
  }
  // Flips in the header and structure must be noticed; only some flips inside JPEG data can pass.
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace tovrin
