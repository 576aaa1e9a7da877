// The Linux back end's pure helpers: the invalid-rectangle list, the copy to display pixels,
// where files live, key codes, the desktop's resolution, dialog texts.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/ansi_text.h"
#include "platform/sdl/dirty_rects.h"
#include "platform/sdl/gtk_setup_dialog.h"
#include "platform/sdl/linux_places.h"
#include "platform/sdl/pixel_copy.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/x11_connection.h"

namespace tovrin {
namespace {

TEST(DirtyRectsTest, KeepsFewRectanglesWithoutLosingAnyArea) {
  TDirtyRects d;
  d.Add(TRect{10, 10, 20, 20});
  d.Add(TRect{12, 12, 18, 18});  // inside: nothing new
  d.Add(TRect{0, 0, 0, 5});      // empty
  EXPECT_EQ(d.Rects(), (std::vector<TRect>{{10, 10, 20, 20}}));
  d.Add(TRect{100, 0, 110, 10});
  d.Add(TRect{5, 5, 30, 30});  // swallows the first
  EXPECT_EQ(d.Rects(), (std::vector<TRect>{{100, 0, 110, 10}, {5, 5, 30, 30}}));
  EXPECT_EQ(d.Bounds(), (TRect{5, 0, 110, 30}));
  d.ClipTo(TRect{0, 0, 50, 50});
  EXPECT_EQ(d.Rects(), (std::vector<TRect>{{5, 5, 30, 30}})) << "the one outside is dropped";

  TDirtyRects many;
  for (int i = 0; i <= static_cast<int>(TDirtyRects::MaxRects); ++i) {
    many.Add(TRect{i * 10, i, i * 10 + 5, i + 5});
  }
  ASSERT_EQ(many.Rects().size(), 1u) << "past the limit the list becomes its bounding box";
  EXPECT_EQ(many.Rects()[0], (TRect{0, 0, 10 * static_cast<int>(TDirtyRects::MaxRects) + 5,
                                    static_cast<int>(TDirtyRects::MaxRects) + 5}));
}

TEST(PixelCopyTest, CopiesTheBlockAsDisplayPixelsFromBothFormats) {
  TBitmap rgb(5, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) rgb.SetPixel(x, y, RGB(10 * x, 20 * y, 7));
  }
  TBitmap grey(5, 4, TPixelFormat::pf8bit);
  for (int i = 0; i < 256; ++i) {
    grey.Palette()[static_cast<size_t>(i)] =
        TPaletteEntry{static_cast<uint8_t>(i), static_cast<uint8_t>(i / 2), 3};
  }
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) grey.ScanLine(y)[x] = static_cast<uint8_t>(x * 40 + y);
  }
  for (const TBitmap* src : {&rgb, &grey}) {
    // A 3 x 2 block from (1, 2) into a buffer with a wider pitch than the block needs.
    const size_t pitch = 4 * 4;
    std::vector<uint8_t> out(pitch * 2, 0xAB);
    CopyToXrgb32(*src, 1, 2, 3, 2, out.data(), pitch);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const TColor c = src->Pixel(1 + x, 2 + y);
        const uint8_t* p = out.data() + static_cast<size_t>(y) * pitch + 4 * static_cast<size_t>(x);
        EXPECT_EQ(p[0], GetBValue(c)) << x << "," << y;
        EXPECT_EQ(p[1], GetGValue(c)) << x << "," << y;
        EXPECT_EQ(p[2], GetRValue(c)) << x << "," << y;
        EXPECT_EQ(p[3], 0xFF);
      }
      EXPECT_EQ(out[static_cast<size_t>(y) * pitch + 12], 0xAB) << "past the block: untouched";
    }
  }
}

TEST(PixelCopyTest, EveryPixelOfWideBlocksKeepsItsBytesWhateverTheWidthAndOffset) {
  // 24-bit rows go four pixels at a time from 32-bit words, the rest one by one: blocks on
  // either side of a multiple of four, at offsets that put the words at every byte alignment,
  // and blocks ending at the last pixel of a row without padding (width 4: stride 12), where a
  // word read past the block would leave the store.
  struct Case {
    int32_t BitmapWidth, SrcX, Width;
  };
  const Case cases[] = {{4, 0, 4},  {8, 0, 8},   {8, 1, 7},   {9, 1, 8},   {9, 2, 7},
                        {12, 3, 9}, {13, 0, 13}, {16, 5, 11}, {17, 1, 16}, {40, 3, 37}};
  for (const Case& c : cases) {
    const int32_t height = 3;
    TBitmap src = TBitmap::ForOverwrite(c.BitmapWidth, height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < c.BitmapWidth; ++x) {
        // Distinct bytes everywhere, so a byte taken from the wrong place shows.
        src.SetPixel(x, y, RGB(3 * x + 1, 5 * y + 2 * x + 7, 251 - 7 * x - y));
      }
    }
    const size_t pitch = 4 * static_cast<size_t>(c.Width) + 8;
    std::vector<uint8_t> out(pitch * static_cast<size_t>(height - 1), 0xAB);
    CopyToXrgb32(src, c.SrcX, 1, c.Width, height - 1, out.data(), pitch);
    for (int32_t y = 0; y < height - 1; ++y) {
      const uint8_t* row = out.data() + static_cast<size_t>(y) * pitch;
      for (int32_t x = 0; x < c.Width; ++x) {
        const TColor expected = src.Pixel(c.SrcX + x, 1 + y);
        const uint8_t* p = row + 4 * static_cast<size_t>(x);
        const TColor actual = RGB(p[2], p[1], p[0]);
        ASSERT_EQ(actual, expected) << "bitmap width " << c.BitmapWidth << ", block from " << c.SrcX
                                    << " width " << c.Width << ": pixel " << x << "," << y;
        ASSERT_EQ(p[3], 0xFF);
      }
      for (size_t i = 4 * static_cast<size_t>(c.Width); i < pitch; ++i) {
        ASSERT_EQ(row[i], 0xAB) << "past the block: untouched (width " << c.Width << ")";
      }
    }
  }
}

TEST(LinuxPlacesTest, DirectoriesComeFromTheEnvironmentOnlyWhenAbsolute) {
  EXPECT_EQ(TempDirFrom(nullptr), "/tmp/");
  EXPECT_EQ(TempDirFrom(""), "/tmp/");
  EXPECT_EQ(TempDirFrom("relative/dir"), "/tmp/");
  EXPECT_EQ(TempDirFrom("/var/tmp"), "/var/tmp/");
  EXPECT_EQ(TempDirFrom("/var/tmp/"), "/var/tmp/");

  struct Case {
    const char* Xdg;
    const char* Home;
    const char* Program;
    const char* Expected;
  };
  const Case cases[] = {
      {"/cfg", "/home/u", "nature.scr", "/cfg/tovrin/nature.scr/"},
      {"/cfg/", nullptr, "nature", "/cfg/tovrin/nature/"},
      {"cfg", "/home/u", "nature", "/home/u/.config/tovrin/nature/"},
      {nullptr, "/home/u/", "nature", "/home/u/.config/tovrin/nature/"},
      {nullptr, nullptr, "nature", ""},
      {nullptr, "home", "nature", ""},
      {"/cfg", "/home/u", "..", ""},
      {"/cfg", "/home/u", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SettingsDirFrom(c.Xdg, c.Home, c.Program), c.Expected)
        << (c.Xdg ? c.Xdg : "(null)") << " " << (c.Home ? c.Home : "(null)") << " " << c.Program;
  }
  EXPECT_EQ(LockDirFrom("/run/user/1000", "/tmp/"), "/run/user/1000/");
  EXPECT_EQ(LockFileName("nature.scrSemaphore"), "nature.scrSemaphore.lock");
  EXPECT_EQ(LockFileName("a/b\nc"), "a_b_c.lock") << "never a path out of the lock directory";
  EXPECT_EQ(LockFileName(".."), "_...lock");
}

TEST(LinuxPlacesTest, MakeDirectoriesCreatesMissingParents) {
  char base[] = "/tmp/tovrin-places-XXXXXX";
  ASSERT_NE(mkdtemp(base), nullptr);
  const std::string dir = std::string(base) + "/a/b/c/";
  EXPECT_TRUE(MakeDirectories(dir));
  struct stat st;
  ASSERT_EQ(stat(dir.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_TRUE(MakeDirectories(dir)) << "already there";
  const std::string file = std::string(base) + "/file";
  FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_FALSE(MakeDirectories(file + "/sub")) << "a file in the way";
  std::system(("rm -rf " + std::string(base)).c_str());
}

// Without $XDG_RUNTIME_DIR the lock lives in a folder of the user's own in the shared temporary
// directory. The lock file once lay in the temporary directory itself, where another user could
// hold it first; that folder is now refused whenever another user could control it.
TEST(LinuxPlacesTest, LockFolderOutsideTheRuntimeDirectoryIsPrivate) {
  enum class TBefore { bNothing, bPrivate, bOpen, bGroupRead, bLink, bOtherUser, bFile };
  struct TCase {
    const char* Name;
    const char* Xdg;
    TBefore Before;  // what stands at tovrin-lock-<uid> beforehand
    mode_t Umask;
    bool Used;  // the folder is given as the lock directory (and is private afterwards)
  };
  const TCase cases[] = {
      {"runtime dir set", "/run/user/1000", TBefore::bNothing, 022, false},
      {"absent: made private", nullptr, TBefore::bNothing, 022, true},
      {"absent, umask 0", nullptr, TBefore::bNothing, 0, true},
      {"absent, umask without owner bits", nullptr, TBefore::bNothing, 0277, true},
      {"runtime dir not absolute", "run", TBefore::bNothing, 022, true},
      {"ours already", nullptr, TBefore::bPrivate, 022, true},
      {"mode 0777", nullptr, TBefore::bOpen, 022, false},
      {"mode 0750", nullptr, TBefore::bGroupRead, 022, false},
      {"a link to a private folder", nullptr, TBefore::bLink, 022, false},
      {"another user's", nullptr, TBefore::bOtherUser, 022, false},
      {"a file", nullptr, TBefore::bFile, 022, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Before == TBefore::bOtherUser && getuid() != 0) continue;  // needs chown
    char base[] = "/tmp/tovrin-lockdir-XXXXXX";
    ASSERT_NE(mkdtemp(base), nullptr);
    // Removed however the case ends (an ASSERT leaves the loop early).
    const std::unique_ptr<char, void (*)(char*)> removeBase(
        base, [](char* dir) { std::filesystem::remove_all(dir); });
    const std::string own = std::string(base) + "/tovrin-lock-" + std::to_string(getuid());
    const std::string elsewhere = std::string(base) + "/elsewhere";
    switch (c.Before) {
      case TBefore::bNothing:
        break;
      case TBefore::bPrivate:
      case TBefore::bOtherUser:
        ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
        ASSERT_EQ(chmod(own.c_str(), 0700), 0);
        if (c.Before == TBefore::bOtherUser) {
          ASSERT_EQ(chown(own.c_str(), 12345, 12345), 0);
        }
        break;
      case TBefore::bOpen:
      case TBefore::bGroupRead:
        ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
        ASSERT_EQ(chmod(own.c_str(), c.Before == TBefore::bOpen ? 0777 : 0750), 0);
        break;
      case TBefore::bLink:
        ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
        ASSERT_EQ(symlink(elsewhere.c_str(), own.c_str()), 0);
        break;
      case TBefore::bFile: {
        std::FILE* f = std::fopen(own.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
        break;
      }
    }
    struct stat before {};
    const bool existed = lstat(own.c_str(), &before) == 0;

    const mode_t oldMask = umask(c.Umask);
    const std::string dir = LockDirFrom(c.Xdg, std::string(base) + "/");
    umask(oldMask);

    struct stat after {};
    const bool exists = lstat(own.c_str(), &after) == 0;
    if (c.Used) {
      EXPECT_EQ(dir, own + "/");
      ASSERT_TRUE(exists);
      EXPECT_TRUE(S_ISDIR(after.st_mode));
      EXPECT_EQ(after.st_mode & 07777, 0700u);
    } else if (c.Xdg != nullptr) {
      EXPECT_EQ(dir, std::string(c.Xdg) + "/");
      EXPECT_FALSE(exists) << "nothing is made in the temporary directory";
    } else {
      EXPECT_EQ(dir, "") << "no lock rather than one in a place another user controls";
      ASSERT_EQ(exists, existed);
      EXPECT_EQ(after.st_mode, before.st_mode) << "a folder found there is never changed";
      EXPECT_EQ(after.st_uid, before.st_uid);
    }
  }
}

TEST(SdlKeysTest, KeysMapToTheSystemsVirtualKeyCodes) {
  const std::pair<SDL_Keycode, uint16_t> cases[] = {
      {SDLK_a, 'A'},         {SDLK_z, 'Z'},      {SDLK_0, '0'},       {SDLK_9, '9'},
      {SDLK_ESCAPE, 0x1B},   {SDLK_SPACE, 0x20}, {SDLK_LSHIFT, 0x10}, {SDLK_RSHIFT, 0x10},
      {SDLK_RCTRL, 0x11},    {SDLK_LALT, 0x12},  {SDLK_F1, 0x70},     {SDLK_F12, 0x7B},
      {SDLK_RETURN, 0x0D},   {SDLK_LEFT, 0x25},  {SDLK_DOWN, 0x28},   {SDLK_DELETE, 0x2E},
      {SDLK_VOLUMEUP, 0xFF},
  };
  for (const auto& [key, vk] : cases) EXPECT_EQ(VirtualKeyOf(key), vk) << SDL_GetKeyName(key);
  EXPECT_EQ(ShiftStateOf(KMOD_LSHIFT | KMOD_RCTRL), ssShift | ssCtrl);
  EXPECT_EQ(ShiftStateOf(KMOD_RALT), ssAlt);
  EXPECT_EQ(MouseButtonOf(SDL_BUTTON_RIGHT), TMouseButton::mbRight);
  EXPECT_EQ(MouseButtonOf(SDL_BUTTON_X1), TMouseButton::mbMiddle);
}

TEST(X11ResourcesTest, XftDpiIsReadFromTheResourceText) {
  EXPECT_EQ(ParseXftDpi("Xft.antialias:\t1\nXft.dpi:\t120\nXft.hinting:\t1\n"), 120);
  EXPECT_EQ(ParseXftDpi("Xft.dpi: 96.4"), 96);
  EXPECT_EQ(ParseXftDpi("Xft.dpi:\t144.6\n"), 145);
  EXPECT_EQ(ParseXftDpi(""), 0);
  EXPECT_EQ(ParseXftDpi("Xft.dpi:\tlarge\n"), 0);
  EXPECT_EQ(ParseXftDpi("Xft.dpi:\t-5\n"), 0);
  EXPECT_EQ(ParseXftDpi("XXft.dpi:\t120\n"), 0) << "only the key itself";
}

TEST(SetupDialogTextTest, PackageTextBecomesUtf8AndMnemonicsGtkStyle) {
  EXPECT_EQ(AnsiToUtf8("Caf\xE9 \x80 5"), "Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(AnsiToUtf8("\x81"), "\xC2\x81") << "undefined bytes keep their number";
  EXPECT_EQ(MnemonicCaption("&Ok"), "_Ok");
  EXPECT_EQ(MnemonicCaption("Save && go"), "Save & go");
  EXPECT_EQ(MnemonicCaption("a_b"), "a__b");
}

}  // namespace
}  // namespace tovrin
