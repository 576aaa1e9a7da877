// The tools' one grammar for whole numbers and sizes, and both wordings of a refusal.
#include <gtest/gtest.h>

#include <climits>
#include <optional>

#include "core/errors.h"
#include "value_parsers.h"

namespace tovrin {
namespace {

TEST(ValueParsersTest, RangedIntegers) {
  struct TCase {
    const char* Text;
    int32_t Low, High;
    std::optional<int32_t> Value;  // nullopt: refused
  };
  const TCase cases[] = {
      {"5", 1, 100, 5},
      {" 42\t", 1, 100, 42},  // blanks around are ignored
      {"+7", 1, 100, 7},
      {"1", 1, 100, 1},
      {"100", 1, 100, 100},
      {"0", 0, 100, 0},
      {"0", 1, 100, std::nullopt},  // zero below the range
      {"101", 1, 100, std::nullopt},
      {"-5", -10, 10, -5},
      {"-5", 1, 100, std::nullopt},
      {"2147483647", INT32_MIN, INT32_MAX, INT32_MAX},
      {"-2147483648", INT32_MIN, INT32_MAX, INT32_MIN},
      {"2147483648", INT32_MIN, INT32_MAX, std::nullopt},  // overflow
      {"99999999999999999999", INT32_MIN, INT32_MAX, std::nullopt},
      {"", 0, 100, std::nullopt},
      {"  ", 0, 100, std::nullopt},
      {"12abc", 0, 100, std::nullopt},
      {"1 2", 0, 100, std::nullopt},
      {"5.0", 0, 100, std::nullopt},
      {"0x10", 0, 100, std::nullopt},
      {"+-5", -10, 10, std::nullopt},
      {"--5", -10, 10, std::nullopt},
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(TryParseRangedInteger(c.Text, c.Low, c.High), c.Value) << '"' << c.Text << '"';
    if (c.Value) {
      EXPECT_EQ(ParseRangedInteger("n", c.Text, c.Low, c.High, TValueWording::vwIsNot), *c.Value);
    } else {
      EXPECT_THROW(ParseRangedInteger("n", c.Text, c.Low, c.High, TValueWording::vwTakes),
                   EConvertError)
          << '"' << c.Text << '"';
    }
  }
}

TEST(ValueParsersTest, Sizes) {
  struct TCase {
    const char* Text;
    std::optional<TSizeValue> Size;  // sides 1 to 16384; nullopt: refused
  };
  const TCase cases[] = {
      {"1920x1080", TSizeValue{1920, 1080}},
      {" 3840X2160 ", TSizeValue{3840, 2160}},
      {"640*480", TSizeValue{640, 480}},
      {"1x16384", TSizeValue{1, 16384}},
      {"0x100", std::nullopt},
      {"100x-5", std::nullopt},
      {"16385x100", std::nullopt},
      {"4294967297x1", std::nullopt},  // overflow
      {"axb", std::nullopt},
      {"1920", std::nullopt},  // no separator
      {"x1080", std::nullopt},
      {"1920x", std::nullopt},
      {"", std::nullopt},
      {"1920 x 1080", std::nullopt},  // blanks inside
      {"1920x1080x2", std::nullopt},
      {"30by20", std::nullopt},
  };
  for (const TCase& c : cases) {
    if (c.Size) {
      EXPECT_EQ(ParseSizeValue("s", c.Text, 1, 16384, TValueWording::vwTakes), *c.Size) << c.Text;
    } else {
      EXPECT_THROW(ParseSizeValue("s", c.Text, 1, 16384, TValueWording::vwIsNot), EConvertError)
          << '"' << c.Text << '"';
    }
  }
}

TEST(ValueParsersTest, MonitorListsPlaceEachMonitorOrRefuseTheWholeList) {
  using TDesk = std::vector<TMonitorValue>;
  struct TCase {
    const char* Text;
    std::optional<TDesk> Desk;
  };
  const TCase cases[] = {
      {"1920x1080", TDesk{{0, 0, 1920, 1080}}},
      {"1920x1080,1280x1024+1920+0", TDesk{{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}}},
      // Unplaced monitors line up to the right of the one before, top edges level.
      {"800x600,640x480,320x200", TDesk{{0, 0, 800, 600}, {800, 0, 640, 480}, {1440, 0, 320, 200}}},
      {"800x600,640x480-640-100", TDesk{{0, 0, 800, 600}, {-640, -100, 640, 480}}},
      {"800x600+100+0,100x600", TDesk{{100, 0, 800, 600}, {900, 0, 100, 600}}},
      {"800x600,640x480+799+0", std::nullopt},  // overlaps the first
      {"800x600,800x600+0+0", std::nullopt},
      {"800x600,", std::nullopt},
      {",800x600", std::nullopt},
      {"800x600+5", std::nullopt},  // half a place
      {"800x600+5+5+5", std::nullopt},
      {"800+5x600", std::nullopt},
      {"8x600", std::nullopt},  // a side below the smallest
      {"800x600,640x480+99999+0", std::nullopt},
      {"", std::nullopt},
  };
  for (const TCase& c : cases) {
    if (c.Desk) {
      EXPECT_EQ(ParseMonitorList("m", c.Text, 16, 8192, TValueWording::vwTakes), *c.Desk) << c.Text;
    } else {
      EXPECT_THROW(ParseMonitorList("m", c.Text, 16, 8192, TValueWording::vwTakes), EConvertError)
          << '"' << c.Text << '"';
    }
  }
}

// The tools' messages, word for word: scripts and users match them.
TEST(ValueParsersTest, RefusalsInEachToolsWording) {
  const auto message = [](auto parse) {
    try {
      parse();
    } catch (const EConvertError& e) {
      return e.Message();
    }
    return std::string("accepted");
  };
  EXPECT_EQ(
      message([] { ParseRangedInteger("--quality", " 101", 1, 100, TValueWording::vwIsNot); }),
      "--quality: \" 101\" is not a whole number from 1 to 100");
  EXPECT_EQ(message([] { ParseRangedInteger("--step", "0", 1, 100, TValueWording::vwTakes); }),
            "--step takes a whole number from 1 to 100, not '0'");
  EXPECT_EQ(message([] { ParseSizeValue("--fit", "1920", 1, 65500, TValueWording::vwIsNot); }),
            "--fit: \"1920\" is not a size such as 1920x1080 (each side 1 to 65500)");
  EXPECT_EQ(message([] { ParseSizeValue("--size", "8x8", 16, 8192, TValueWording::vwTakes); }),
            "--size takes WIDTHxHEIGHT, each 16 to 8192, not '8x8'");
}

}  // namespace
}  // namespace tovrin
