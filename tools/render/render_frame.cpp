#include "tools/render/render_frame.h"

#include <algorithm>
#include <cctype>

#include "core/errors.h"
#include "core/random.h"
#include "gfx/draw.h"
#include "gfx/image_file.h"
#include "gfx/stretch.h"
#include "picshow/styles/compose_frame.h"

namespace tovrin {

namespace {

TBitmap To24Bit(TBitmap picture) {
  if (picture.PixelFormat() == TPixelFormat::pf24bit) return picture;
  TBitmap result(picture.Width(), picture.Height());
  Draw(result, 0, 0, picture);
  return result;
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(
      suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

TBitmap RenderFrame(const TBitmap& oldPic, const TBitmap& newPic, const TFrameRequest& request) {
  if (oldPic.Width() != newPic.Width() || oldPic.Height() != newPic.Height()) {
    throw Exception("The old and the new picture differ in size (" +
                    std::to_string(oldPic.Width()) + " x " + std::to_string(oldPic.Height()) +
                    " and " + std::to_string(newPic.Width()) + " x " +
                    std::to_string(newPic.Height()) + ")");
  }
  TBitmap media(oldPic.Width(), oldPic.Height());
  TBitmap incoming = newPic;  // a frame may not change the caller's picture
  uint8_t progress = static_cast<uint8_t>(request.Progress);
  TRandom random(request.Seed);
  TComposeHooks hooks;
  hooks.Invalidate = [](const TRect&) {};
  const TComposeFrameArgs args{.OldPic = oldPic,
                               .NewPic = incoming,
                               .Media = media,
                               .Style = static_cast<uint8_t>(request.Style),
                               .Progress = progress,
                               .Step = static_cast<uint16_t>(request.Step),
                               .Reverse = false,
                               .Random = random,
                               .Hooks = hooks};
  ComposeFrame(args);
  return media;
}

TBitmap LoadPicture(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFileBytes(path);
  try {
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '6') return To24Bit(ReadPPM(bytes));
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return To24Bit(ReadJPEG(bytes));
  } catch (const Exception& e) {
    throw Exception(path + ": " + e.Message());
  }
  throw Exception(path + ": not a binary PPM (P6) or JPEG picture");
}

TBitmap ScaledTo(const TBitmap& picture, TSize size) {
  TBitmap result(size.Width, size.Height);
  StretchDrawGraphic(result, TRect{0, 0, size.Width, size.Height}, picture);
  return result;
}

void SavePicture(const TBitmap& bitmap, const std::string& path) {
  if (EndsWithNoCase(path, ".png")) {
    SavePNG(bitmap, path);
  } else {
    SavePPM(bitmap, path);
  }
}

const TBitmap& TPictureCache::Get(const std::string& path) {
  auto it = FPictures.find(path);
  if (it == FPictures.end()) it = FPictures.emplace(path, LoadPicture(path)).first;
  return it->second;
}

}  // namespace tovrin
