#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/errors.h"
#include "package/image.h"
#include "package/object_reader.h"
#include "package/ss_file_locations.h"
#include "test_bytes.h"

namespace tovrin {
namespace {

using test::TBytes;

// A class with the property kinds the package's own classes do not have.
class TTestThing : public TComponent {
 public:
  static int Created;
  TTestThing() { ++Created; }

  static const TClassInfo& StaticClassInfo() {
    static const TClassInfo info{
        "TTestThing",
        &TComponent::StaticClassInfo(),
        [] { return std::make_unique<TTestThing>(); },
        {
            MakeProperty("Ratio", TPropKind::pkFloat, nullptr, &TTestThing::Ratio,
                         &TTestThing::SetRatio),
            MakeProperty("Letter", TPropKind::pkChar, nullptr, &TTestThing::Letter,
                         &TTestThing::SetLetter),
            MakeProperty("Big", TPropKind::pkInt64, nullptr, &TTestThing::Big, &TTestThing::SetBig),
            TPropInfo{"Fixed", TPropKind::pkInteger, nullptr,
                      [](TPersistent&) -> TPropValue { return int64_t{7}; }, nullptr},
            TPropInfo{"Font", TPropKind::pkObject, nullptr,
                      [](TPersistent& o) -> TPropValue {
                        return static_cast<TPersistent*>(&static_cast<TTestThing&>(o).FFont);
                      },
                      nullptr},
        }};
    return info;
  }
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  void Loaded() override {
    ++LoadedCalls;
    LoadingDuringLoaded = Loading();
  }

  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  int64_t Letter() const { return FLetter; }
  void SetLetter(int64_t v) { FLetter = v; }
  int64_t Big() const { return FBig; }
  void SetBig(int64_t v) { FBig = v; }

  int LoadedCalls = 0;
  bool LoadingDuringLoaded = false;
  TFont FFont;

 private:
  double FRatio = 0;
  int64_t FLetter = -1;
  int64_t FBig = 0;
};
int TTestThing::Created = 0;

class ObjectReader : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterStreamClass(TSSFileLocations::StaticClassInfo());
    RegisterStreamClass(TImage::StaticClassInfo());
    RegisterStreamClass(TTestThing::StaticClassInfo());
  }

  // Reads a settings stream whose properties are the given bytes.
  static std::unique_ptr<TSSFileLocations> ReadSettings(const TBytes& props) {
    TBytes b;
    b.Sig().Header("TSSFileLocations").Raw(props.Bytes()).End().End();
    TMemoryStream s = b.Stream();
    auto settings = std::make_unique<TSSFileLocations>();
    ReadObjectStream(s, settings.get());
    return settings;
  }
  // The message of the exception a read raises ("" when it succeeds).
  static std::string ReadError(const TBytes& b, TPersistent* instance = nullptr) {
    TMemoryStream s = b.Stream();
    try {
      ReadObjectStream(s, instance);
    } catch (const Exception& e) {
      return e.Message();
    }
    return "";
  }
};

TEST_F(ObjectReader, IntegerCodesAndIdentifierMaps) {
  const auto a = ReadSettings(TBytes()
                                  .Prop("TextFont.Height")
                                  .Byte(2)
                                  .Byte(0xE0)
                                  .Prop("Interval")
                                  .Byte(3)
                                  .Byte(0x88)
                                  .Byte(0x13));
  EXPECT_EQ(a->TextFont().Height(), -32);
  EXPECT_EQ(a->Interval(), 5000);
  EXPECT_EQ(a->TextFont().Size(), 24);

  const auto b = ReadSettings(TBytes()
                                  .Prop("TextFont.Color")
                                  .IdentVal("clWindowText")
                                  .Prop("TextFont.Charset")
                                  .IdentVal("DEFAULT_CHARSET")
                                  .Prop("Interval")
                                  .Int32Val(-100000));
  EXPECT_EQ(static_cast<uint32_t>(b->TextFont().Color()), 0x80000008u);
  EXPECT_EQ(b->TextFont().Charset(), 1);
  EXPECT_EQ(b->Interval(), -100000);

  // Identifier names ignore letter case; property names too.
  const auto c = ReadSettings(TBytes()
                                  .Prop("textfont.COLOR")
                                  .IdentVal("CLSKYBLUE")
                                  .Prop("textFont.charset")
                                  .IdentVal("russian_charset"));
  EXPECT_EQ(c->TextFont().Color(), 0xF0CAA6);
  EXPECT_EQ(c->TextFont().Charset(), 204);
}

TEST_F(ObjectReader, BadValuesNameTheObjectAndPath) {
  const TBytes base = TBytes().Sig().Header("TSSFileLocations");
  EXPECT_EQ(ReadError(TBytes(base).Prop("TextFont.Color").IdentVal("clPlaid").End().End()),
            "Error reading TSSFileLocations.TextFont.Color: Invalid property value");
  EXPECT_EQ(ReadError(TBytes(base).Prop("Interval").StrVal("5").End().End()),
            "Error reading TSSFileLocations.Interval: Invalid property value");
  // An integer without an identifier map accepts no identifier.
  EXPECT_EQ(ReadError(TBytes(base).Prop("Interval").IdentVal("clRed").End().End()),
            "Error reading TSSFileLocations.Interval: Invalid property value");
  EXPECT_EQ(ReadError(TBytes(base).Prop("lStretch").Int8Val(1).End().End()),
            "Error reading TSSFileLocations.lStretch: Invalid property value");
  EXPECT_EQ(ReadError(TBytes(base).Prop("lStretch").IdentVal("Maybe").End().End()),
            "Error reading TSSFileLocations.lStretch: Invalid property value");
  EXPECT_EQ(ReadError(TBytes(base).Prop("Interval.Sub").Int8Val(1).End().End()),
            "Error reading TSSFileLocations.Interval.Sub: Invalid property path");
  EXPECT_EQ(ReadError(TBytes(base).Prop("Nothing.Sub").Int8Val(1).End().End()),
            "Error reading TSSFileLocations.Nothing.Sub: Invalid property path");
  // A named object is reported by its name.
  TBytes named;
  named.Sig().Short("TSSFileLocations").Short("Show1").Prop("Interval").StrVal("x").End().End();
  EXPECT_EQ(ReadError(named), "Error reading Show1.Interval: Invalid property value");
  // The wrapped failure keeps its class.
  TMemoryStream s = TBytes(base).Prop("Interval").StrVal("5").End().End().Stream();
  TSSFileLocations settings;
  EXPECT_THROW(ReadObjectStream(s, &settings), EReadError);
}

TEST_F(ObjectReader, SetsAndBooleans) {
  TSSFileLocations settings;
  TMemoryStream s = TBytes()
                        .Sig()
                        .Header("TSSFileLocations")
                        .Prop("TextFont.Style")
                        .Byte(11)
                        .Short("fsBold")
                        .Short("fsShiny")  // not an element: dropped
                        .Short("FSUNDERLINE")
                        .Byte(0)
                        .Prop("lRandomPic")
                        .Byte(9)
                        .Prop("lStretch")
                        .IdentVal("True")
                        .Prop("lMute")
                        .IdentVal("false")
                        .Prop("lSoundLoop")
                        .Byte(8)
                        .End()
                        .End()
                        .Stream();
  settings.SetlMute(true);
  settings.SetlSoundLoop(true);
  ReadObjectStream(s, &settings);
  EXPECT_EQ(settings.TextFont().Style(), FontStyleBit(fsBold) | FontStyleBit(fsUnderline));
  EXPECT_TRUE(settings.lRandomPic());
  EXPECT_TRUE(settings.lStretch());
  EXPECT_FALSE(settings.lMute());
  EXPECT_FALSE(settings.lSoundLoop());
}

TEST_F(ObjectReader, StringCodesConvertToTheAnsiCodePage) {
  TBytes props;
  // WString "é€" and UTF8String "ü€😀" (the last one has no ANSI character).
  props.Prop("Title").Byte(18).Int32(2).Byte(0xE9).Byte(0).Byte(0xAC).Byte(0x20);
  props.Prop("Text").Byte(20).Int32(11).Raw(
      "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80"
      "ab");
  const std::string longText(5000, 'x');
  props.Prop("Author").Byte(12).Int32(5000).Raw(longText);
  TBytes b;
  b.Sig().Header("TSSFileLocations").Raw(props.Bytes()).End().End();
  TMemoryStream s = b.Stream();
  TSSFileLocations settings;
  ReadObjectStream(s, &settings);
  EXPECT_EQ(settings.Title(), "\xE9\x80");
  EXPECT_EQ(settings.Text(), "\xFC\x80?ab");
  EXPECT_EQ(settings.Author(), longText);
}

TEST_F(ObjectReader, ClassLookupAndInstances) {
  // Class names ignore letter case when creating.
  TMemoryStream s1 = TBytes().Sig().Header("tssFILElocations").End().End().Stream();
  std::unique_ptr<TPersistent> obj = ReadObjectStream(s1, nullptr);
  ASSERT_NE(obj, nullptr);
  EXPECT_EQ(obj->ClassName(), "TSSFileLocations");

  // Reading into an instance ignores the class name in the stream.
  TMemoryStream s2 =
      TBytes().Sig().Header("TWhatever").Prop("Interval").Int8Val(9).End().End().Stream();
  TSSFileLocations settings;
  EXPECT_EQ(ReadObjectStream(s2, &settings), nullptr);
  EXPECT_EQ(settings.Interval(), 9);

  EXPECT_EQ(ReadError(TBytes().Sig().Header("TWhatever").End().End()), "Class TWhatever not found");
  EXPECT_EQ(FindStreamClass("TCOMPONENT"), &TComponent::StaticClassInfo());  // ancestors too
  EXPECT_EQ(FindStreamClass("TFont"), nullptr);
}

TEST_F(ObjectReader, BadSignatureFailsBeforeAnythingIsCreated) {
  const int before = TTestThing::Created;
  TMemoryStream s = TBytes().Raw("TPF1").Header("TTestThing").End().End().Stream();
  try {
    ReadObjectStream(s, nullptr);
    FAIL();
  } catch (const EFilerError& e) {
    EXPECT_EQ(e.Message(), "Invalid stream format");
  }
  EXPECT_EQ(TTestThing::Created, before);
  EXPECT_EQ(ReadError(TBytes().Raw("TP")), "Stream read error");
}

TEST_F(ObjectReader, UnknownPropertiesAreSkippedWhateverTheirCode) {
  TBytes p;
  p.Prop("u0").Byte(0);
  p.Prop("u1").Byte(1).Int8Val(1).Byte(1).StrVal("x").End().Byte(8).End();  // nested list
  p.Prop("u2").Int8Val(1).Prop("u3").Int16Val(2).Prop("u4").Int32Val(3);
  p.Prop("u5").Byte(5).Raw(std::string(10, '\x01'));
  p.Prop("u6").StrVal("str").Prop("u7").IdentVal("id").Prop("u8").Byte(8).Prop("u9").Byte(9);
  p.Prop("u10").Byte(10).Int32(3).Raw("abc");
  p.Prop("u11").Byte(11).Short("a").Short("b").Byte(0);
  p.Prop("u12").Byte(12).Int32(2).Raw("xy").Prop("u13").Byte(13);
  // Collection of two items, the first with an order number, each with properties.
  p.Prop("u14").Byte(14);
  p.Int8Val(0).Byte(1).Prop("A").Int8Val(1).End();
  p.Byte(1).Prop("B").StrVal("z").Prop("C").Byte(1).Int8Val(3).End().End();
  p.End();
  p.Prop("u15").Byte(15).Int32(0).Prop("u16").Byte(16).Raw(std::string(8, '\x02'));
  p.Prop("u17").Byte(17).Raw(std::string(8, '\x03')).Prop("u18").Byte(18).Int32(2).Raw("aabb");
  p.Prop("u19").Byte(19).Raw(std::string(8, '\x04')).Prop("u20").Byte(20).Int32(1).Raw("q");
  p.Prop("Interval").Int16Val(1234);
  EXPECT_EQ(ReadSettings(p)->Interval(), 1234);
}

TEST_F(ObjectReader, CodeAboveTwentyInASkippedValueFails) {
  TBytes b;
  b.Sig().Header("TSSFileLocations").Prop("Unknown").Byte(21).Prop("Interval").Int8Val(1);
  b.End().End();
  EXPECT_EQ(ReadError(b), "Error reading TSSFileLocations.Unknown: Invalid property value");
  TBytes inList;
  inList.Sig().Header("TSSFileLocations").Prop("Unknown").Byte(1).Byte(0xFF).End().End().End();
  EXPECT_EQ(ReadError(inList), "Error reading TSSFileLocations.Unknown: Invalid property value");
}

TEST_F(ObjectReader, DeepNestingFailsCleanly) {
  auto nested = [](int depth) {
    TBytes b;
    b.Sig().Header("TSSFileLocations").Prop("Unknown");
    for (int i = 0; i < depth; ++i) b.Byte(1);
    for (int i = 0; i < depth; ++i) b.End();
    b.End().End();
    return b;
  };
  EXPECT_EQ(ReadError(nested(TReader::MaxNestingDepth)), "");
  EXPECT_EQ(ReadError(nested(TReader::MaxNestingDepth + 1)),
            "Error reading TSSFileLocations.Unknown: Nesting too deep");
  // Far deeper than any stack would take if the skipper recursed without a cap.
  TBytes deep = nested(200000);
  TMemoryStream s = deep.Stream();
  TSSFileLocations settings;
  EXPECT_THROW(ReadObjectStream(s, &settings), EUnsafeContent);

  // Child objects nest too.
  TBytes children;
  children.Sig().Header("TSSFileLocations").End();
  for (int i = 0; i < 100; ++i) children.Header("TChild").End();
  for (int i = 0; i < 100; ++i) children.End();
  children.End();
  EXPECT_EQ(ReadError(children), "Nesting too deep");
}

TEST_F(ObjectReader, LengthsBeyondTheStreamFailWithoutAllocating) {
  // Each length claims far more than the stream holds; a reader that allocated first would ask
  // for up to 4 GiB here (and fail under the sanitizer's allocation limit).
  const std::vector<TBytes> cases = {
      TBytes().Prop("Unknown").Byte(10).Int32(0x7FFFFFFF),
      TBytes().Prop("Unknown").Byte(12).Int32(-1),
      TBytes().Prop("Title").Byte(12).Int32(0x7FFFFFF0),
      TBytes().Prop("Title").Byte(18).Int32(0x7FFFFFFF),
      TBytes().Prop("Title").Byte(18).Int32(-2),
      TBytes().Prop("Title").Byte(20).Int32(0x40000000),
      TBytes().Prop("Picture.Data").Byte(10).Int32(0x7FFFFFFF),
  };
  for (const TBytes& props : cases) {
    TBytes b;
    b.Sig().Header("TImage").Raw(props.Bytes()).End().End();
    const std::string message = ReadError(b);
    EXPECT_TRUE(message.ends_with(": Stream read error")) << message;
  }
  // The JPEG length inside the picture data is checked against the picture data.
  TBytes jpeg;
  jpeg.Sig().Header("TImage").Prop("Picture.Data").Byte(10).Int32(15).Short("TJPEGImage");
  jpeg.Int32(0x7FFFFFFF).End().End();
  EXPECT_EQ(ReadError(jpeg), "Error reading TImage.Picture.Data: Stream read error");
  TBytes negative;
  negative.Sig().Header("TImage").Prop("Picture.Data").Byte(10).Int32(15).Short("TJPEGImage");
  negative.Int32(-5).End().End();
  EXPECT_EQ(ReadError(negative), "Error reading TImage.Picture.Data: Stream read error");
}

TEST_F(ObjectReader, OtherPropertyKinds) {
  uint8_t ext[10];
  DoubleToExtended(1.5, ext);
  TBytes b;
  b.Sig().Header("TTestThing");
  b.Prop("Ratio").Byte(5).Raw(std::vector<uint8_t>(ext, ext + 10));
  b.Prop("Letter").StrVal("A");
  b.Prop("Big").Byte(19).Int32(0).Int32(1);  // 2^32
  b.Prop("Font.Height").Int8Val(-20);        // a sub-object without a setter is walked into
  b.Prop("Name").StrVal("Thing1");
  b.End().End();
  TMemoryStream s = b.Stream();
  std::unique_ptr<TPersistent> obj = ReadObjectStream(s, nullptr);
  auto& thing = static_cast<TTestThing&>(*obj);
  EXPECT_EQ(thing.Ratio(), 1.5);
  EXPECT_EQ(thing.Letter(), 'A');
  EXPECT_EQ(thing.Big(), int64_t{1} << 32);
  EXPECT_EQ(thing.FFont.Height(), -20);
  EXPECT_EQ(thing.Name(), "Thing1");

  TTestThing t;
  EXPECT_EQ(ReadError(TBytes().Sig().Header("X").Prop("Letter").StrVal("").End().End(), &t), "");
  EXPECT_EQ(t.Letter(), 0);
  EXPECT_EQ(ReadError(TBytes().Sig().Header("X").Prop("Ratio").Int16Val(-3).End().End(), &t), "");
  EXPECT_EQ(t.Ratio(), -3.0);
  EXPECT_EQ(ReadError(TBytes().Sig().Header("X").Prop("Letter").StrVal("AB").End().End(), &t),
            "Error reading TTestThing.Letter: Invalid property value");
  EXPECT_EQ(ReadError(TBytes().Sig().Header("X").Prop("Fixed").Int8Val(1).End().End(), &t),
            "Error reading TTestThing.Fixed: Property is read-only");
}

TEST_F(ObjectReader, ExtendedPrecisionConversion) {
  const double values[] = {0.0,     1.0,    -2.5,          1e300,
                           -1e-300, 5e-324, 123456789.125, std::numeric_limits<double>::infinity()};
  for (const double v : values) {
    uint8_t b[10];
    DoubleToExtended(v, b);
    EXPECT_EQ(ExtendedToDouble(b), v);
  }
  // 1.0: mantissa 8000000000000000, exponent 3FFF.
  const uint8_t one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
  EXPECT_EQ(ExtendedToDouble(one), 1.0);
  // Beyond the double range: infinity; NaN stays NaN.
  const uint8_t huge[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F - 1};
  EXPECT_TRUE(std::isinf(ExtendedToDouble(huge)));
  const uint8_t nan[10] = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F};
  EXPECT_TRUE(std::isnan(ExtendedToDouble(nan)));
}

TEST_F(ObjectReader, PrefixChildrenCompletionHookAndFinalPosition) {
  TBytes b;
  b.Sig().Byte(0xF2).Int16Val(3).Header("TTestThing").Prop("Big").Int8Val(5).End();
  // One child with a prefix, properties and a grandchild: read past.
  b.Byte(0xF1).Header("TChild").Prop("X").Int8Val(1).End();
  b.Header("TGrandChild").End().End();
  b.End();
  b.End();
  const size_t objectEnd = b.Size();
  b.Raw("trailing bytes");
  TMemoryStream s = b.Stream();
  std::unique_ptr<TPersistent> obj = ReadObjectStream(s, nullptr);
  auto& thing = static_cast<TTestThing&>(*obj);
  EXPECT_EQ(thing.Big(), 5);
  EXPECT_EQ(thing.LoadedCalls, 1);
  EXPECT_TRUE(thing.LoadingDuringLoaded);
  EXPECT_FALSE(thing.Loading());
  EXPECT_EQ(s.Position(), static_cast<int64_t>(objectEnd));
}

TEST_F(ObjectReader, FinalPositionBehindObjectsLargerThanTheBuffer) {
  TBytes b;
  b.Sig().Header("TSSFileLocations").Prop("Text").Byte(12).Int32(10000);
  b.Raw(std::string(10000, 'c')).Prop("Interval").Int8Val(1).End().End();
  const size_t end = b.Size();
  b.Raw(std::string(5000, 'z'));
  TMemoryStream s = b.Stream();
  TSSFileLocations settings;
  ReadObjectStream(s, &settings);
  EXPECT_EQ(settings.Text().size(), 10000u);
  EXPECT_EQ(s.Position(), static_cast<int64_t>(end));
}

TEST_F(ObjectReader, InstanceKeepsValuesAssignedBeforeAFailure) {
  TBytes b;
  b.Sig().Header("TSSFileLocations").Prop("Interval").Int8Val(42).Prop("lStretch").Int8Val(1);
  b.Prop("SoundRandom").Int8Val(2).End().End();
  TSSFileLocations settings;
  EXPECT_NE(ReadError(b, &settings), "");
  EXPECT_EQ(settings.Interval(), 42);
  EXPECT_EQ(settings.SoundRandom(), 0);
  EXPECT_FALSE(settings.Loading());
}

}  // namespace
}  // namespace tovrin
