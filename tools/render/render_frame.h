// Off-screen composition of transition frames, shared by the render tool's commands.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "gfx/bitmap.h"

namespace tovrin {

struct TFrameRequest {
  int Style = 0;      // 0..127 (values above are composed as the control would: OldPic only)
  int Progress = 0;   // 0..100
  int Step = 4;       // 1..100
  uint32_t Seed = 0;  // the random generator's state right before the frame
};

// Composes one frame of a transition from old to new (pictures of one size, 24-bit) with no event
// handlers: the result is Media after ComposeFrame.
TBitmap RenderFrame(const TBitmap& oldPic, const TBitmap& newPic, const TFrameRequest& request);

// Loads a picture for rendering: binary PPM (P6) or JPEG, told apart by their first bytes, always
// returned as 24-bit. Raises with a message naming the file.
TBitmap LoadPicture(const std::string& path);

struct TSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// The picture scaled to the given size with the filtered scaling the show uses for whole pictures.
TBitmap ScaledTo(const TBitmap& picture, TSize size);

// Writes a picture as PNG when the name ends in ".png" (any case), otherwise as binary PPM.
void SavePicture(const TBitmap& bitmap, const std::string& path);

// Loads each picture once: golden lists name the same few pictures thousands of times.
class TPictureCache {
 public:
  const TBitmap& Get(const std::string& path);

 private:
  std::map<std::string, TBitmap> FPictures;
};

}  // namespace tovrin
