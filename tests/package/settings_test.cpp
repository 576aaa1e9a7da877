#include <gtest/gtest.h>

#include "core/errors.h"
#include "package/object_reader.h"
#include "package/object_writer.h"
#include "package/ss_file_locations.h"
#include "test_bytes.h"

namespace tovrin {
namespace {

using test::TBytes;

void ExpectSame(const TSSFileLocations& a, const TSSFileLocations& b) {
  EXPECT_EQ(a.Text(), b.Text());
  EXPECT_TRUE(a.TextFont() == b.TextFont());
  EXPECT_EQ(a.lRandomStyle(), b.lRandomStyle());
  EXPECT_EQ(a.lRandomPic(), b.lRandomPic());
  EXPECT_EQ(a.lClearOldImage(), b.lClearOldImage());
  EXPECT_EQ(a.lStretch(), b.lStretch());
  EXPECT_EQ(a.Interval(), b.Interval());
  EXPECT_EQ(a.SoundRandom(), b.SoundRandom());
  EXPECT_EQ(a.lSoundLoop(), b.lSoundLoop());
  EXPECT_EQ(a.lMute(), b.lMute());
  EXPECT_EQ(a.Title(), b.Title());
  EXPECT_EQ(a.Author(), b.Author());
  EXPECT_EQ(a.Email(), b.Email());
  EXPECT_EQ(a.Web(), b.Web());
  EXPECT_EQ(a.Ver(), b.Ver());
  EXPECT_EQ(a.EffectList(), b.EffectList());
  EXPECT_EQ(a.PicList(), b.PicList());
  EXPECT_EQ(a.PicFileNameList(), b.PicFileNameList());
  EXPECT_EQ(a.SndList(), b.SndList());
  EXPECT_EQ(a.SndFileNameList(), b.SndFileNameList());
  EXPECT_EQ(a.SndSizeList(), b.SndSizeList());
  EXPECT_EQ(a.FlashList(), b.FlashList());
  EXPECT_EQ(a.FlashFileNameList(), b.FlashFileNameList());
  EXPECT_EQ(a.FlashSizeList(), b.FlashSizeList());
  EXPECT_EQ(a.DescriptList(), b.DescriptList());
  EXPECT_EQ(a.lShuffle(), b.lShuffle());
  EXPECT_EQ(a.PicFill(), b.PicFill());
  EXPECT_EQ(a.lPicCaptions(), b.lPicCaptions());
  EXPECT_EQ(a.lMotion(), b.lMotion());
}

std::unique_ptr<TSSFileLocations> FullSettings() {
  auto s = std::make_unique<TSSFileLocations>();
  s->SetText("Harbour lights \"at dusk\"");
  TFont font;
  font.SetName("Arial Black");
  font.SetHeight(-32);
  font.SetColor(0x00FF00);
  font.SetCharset(238);
  font.SetStyle(FontStyleBit(fsBold) | FontStyleBit(fsStrikeOut));
  font.SetPitch(TFontPitch::fpFixed);
  s->SetTextFont(font);
  s->SetlRandomStyle(true);
  s->SetlClearOldImage(true);
  s->SetInterval(70000);
  s->SetSoundRandom(3);
  s->SetlSoundLoop(true);
  s->SetlShuffle(true);
  s->SetPicFill(pfBlur);
  s->SetlPicCaptions(true);
  s->SetlMotion(true);
  s->SetTitle("Harbour");
  s->SetAuthor(std::string(300, 'a'));  // longer than a short string
  s->SetEmail("me@example.org");
  s->SetWeb("http://example.org/");
  s->SetVer("photo");
  s->SetEffectCommaList("0,5,127");
  s->SetPicCommaList("2795008,2881021");
  s->SetPicFileNamesCommaList("\"C:\\My Pictures\\a.jpg\",b.jpg");
  s->SetSndCommaList("100");
  s->SetSndFileNamesCommaList("\"sea song.mp3\"");
  s->SetSndSizesCommaList("42");
  s->SetFlashCommaList("");
  s->SetDescriptCommaList("one,,three");
  return s;
}

TEST(Settings, DefaultsOfANewObject) {
  TSSFileLocations s;
  EXPECT_EQ(s.TextFont().Name(), "MS Sans Serif");
  EXPECT_EQ(s.TextFont().Height(), -11);
  EXPECT_EQ(s.TextFont().Size(), 8);
  EXPECT_EQ(static_cast<uint32_t>(s.TextFont().Color()), 0x80000008u);
  EXPECT_EQ(s.TextFont().Charset(), 1);
  EXPECT_EQ(s.TextFont().Style(), 0);
  EXPECT_EQ(s.TextFont().Pitch(), TFontPitch::fpDefault);
  EXPECT_FALSE(s.lRandomPic() || s.lRandomStyle() || s.lClearOldImage() || s.lStretch() ||
               s.lSoundLoop() || s.lMute());
  EXPECT_EQ(s.Interval(), 0);
  EXPECT_EQ(s.EffectCommaList(), "");
  EXPECT_EQ(s.PicCount(), 0);
}

TEST(Settings, StreamWithOnlyIntervalKeepsDefaults) {
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  TMemoryStream stream = TBytes()
                             .Sig()
                             .Header("TSSFileLocations")
                             .Prop("Interval")
                             .Int16Val(3000)
                             .End()
                             .End()
                             .Stream();
  auto obj = ReadObjectStreamAs<TSSFileLocations>(stream);
  TSSFileLocations expected;
  expected.SetInterval(3000);
  ExpectSame(*obj, expected);
}

TEST(Settings, IndexedAccessorsCheckTheirOwnList) {
  TSSFileLocations s;
  s.SetPicCommaList("2795008,2881021");
  EXPECT_EQ(s.PicCount(), 2);
  EXPECT_EQ(s.PicOffsetAt(1), 2881021);
  s.SetSndCommaList("10,20");
  s.SetSndFileNamesCommaList("\"a b.mp3\"");
  s.SetSndSizesCommaList("5,x");
  EXPECT_EQ(s.SndFileNameAt(0), "a b.mp3");
  EXPECT_EQ(s.SndSizeAt(1), 0);  // not a number
  s.SetFlashCommaList(" 7 ");
  s.SetFlashFileNamesCommaList("m.swf,n.swf");
  s.SetFlashSizesCommaList("-3");
  EXPECT_EQ(s.FlashOffsetAt(0), 7);
  EXPECT_EQ(s.FlashFileNameAt(1), "n.swf");
  EXPECT_EQ(s.FlashSizeAt(0), -3);

  const std::function<void()> outOfBounds[] = {
      [&] { s.PicOffsetAt(2); },   [&] { s.PicOffsetAt(-1); },    [&] { s.EffectAt(0); },
      [&] { s.SndFileNameAt(1); }, [&] { s.SndOffsetAt(2); },     [&] { s.SndSizeAt(2); },
      [&] { s.FlashOffsetAt(1); }, [&] { s.FlashFileNameAt(2); }, [&] { s.FlashSizeAt(1); },
  };
  for (const auto& call : outOfBounds) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), "Index is out of bounds");
    }
  }

  std::string effects;
  for (int i = 0; i < 127; ++i) effects += (i ? "," : "") + std::to_string(i);
  s.SetEffectCommaList(effects);
  ASSERT_EQ(s.EffectCount(), 127);
  for (int i = 0; i < 127; ++i) EXPECT_EQ(s.EffectAt(i), i);
  EXPECT_EQ(s.EffectCommaList(), effects);

  s.SetSndFileNamesCommaList("a.mp3,b.mp3,");
  EXPECT_EQ(s.SndFileNameList().size(), 3u);
}

TEST(Settings, WriterOrderAndEncoding) {
  TSSFileLocations s;
  s.SetInterval(5000);
  TMemoryStream out;
  WriteShowSettings(out, s);
  TBytes expected;
  expected.Sig().Header("TSSFileLocations");
  expected.Prop("TextFont.Charset").IdentVal("DEFAULT_CHARSET");
  expected.Prop("TextFont.Color").IdentVal("clWindowText");
  expected.Prop("TextFont.Height").Int8Val(-11);
  expected.Prop("TextFont.Name").StrVal("MS Sans Serif");
  expected.Prop("TextFont.Style").Byte(11).Byte(0);
  for (const char* name : {"lRandomStyle", "lRandomPic", "lClearOldImage", "lStretch"}) {
    expected.Prop(name).Byte(8);
  }
  expected.Prop("Interval").Int16Val(5000);
  expected.Prop("SoundRandom").Int8Val(0);
  expected.Prop("lSoundLoop").Byte(8).Prop("lMute").Byte(8);
  expected.End().End();
  EXPECT_EQ(out.Bytes(), expected.Bytes());
}

TEST(Settings, WriterPicksTheSmallestIntegerCode) {
  struct Case {
    int32_t Value;
    std::vector<uint8_t> Bytes;
  };
  const Case cases[] = {{127, {2, 0x7F}},
                        {-128, {2, 0x80}},
                        {128, {3, 0x80, 0x00}},
                        {-32768, {3, 0x00, 0x80}},
                        {32768, {4, 0x00, 0x80, 0x00, 0x00}},
                        {-2147483647 - 1, {4, 0, 0, 0, 0x80}}};
  for (const Case& c : cases) {
    TMemoryStream out;
    TWriter(out).WriteInteger(c.Value);
    EXPECT_EQ(out.Bytes(), c.Bytes) << c.Value;
  }
}

TEST(Settings, RoundTripAndTruncationAtEveryLength) {
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  const auto original = FullSettings();
  TMemoryStream out;
  WriteShowSettings(out, *original);
  const std::vector<uint8_t> full = out.Bytes();

  TMemoryStream in(full);
  auto created = ReadObjectStreamAs<TSSFileLocations>(in);
  ExpectSame(*created, *original);
  EXPECT_EQ(created->SndFileNameAt(0), "sea song.mp3");
  EXPECT_EQ(created->TextFont().Pitch(), TFontPitch::fpFixed);
  EXPECT_EQ(in.Position(), static_cast<int64_t>(full.size()));

  // Written again, the same bytes.
  TMemoryStream again;
  WriteShowSettings(again, *created);
  EXPECT_EQ(again.Bytes(), full);

  for (size_t len = 0; len < full.size(); ++len) {
    TMemoryStream cut(full.data(), len);
    TSSFileLocations target;
    try {
      ReadObjectStream(cut, &target);
      ADD_FAILURE() << "settings cut at " << len << " bytes were read";
    } catch (const Exception& e) {
      EXPECT_TRUE(e.Message().ends_with("Stream read error")) << len << ": " << e.Message();
    }
  }
}

TEST(Settings, FlippedBytesNeverCrash) {
  RegisterStreamClass(TSSFileLocations::StaticClassInfo());
  TMemoryStream out;
  WriteShowSettings(out, *FullSettings());
  int failures = 0;
  for (size_t i = 0; i < out.Bytes().size(); ++i) {
    std::vector<uint8_t> bytes = out.Bytes();
    bytes[i] ^= 0x41;
    TMemoryStream s(bytes);
    try {
      ReadObjectStream(s, nullptr);
    } catch (const Exception&) {
      ++failures;
    }
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace tovrin
