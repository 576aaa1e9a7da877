// The headless back end's preview: another program's window is a THeadlessPreviewWindow that a
// test adds to the platform under a handle, with a bitmap for its client area; THeadlessPreviewHost
// draws into it while it exists. Draws are recorded in the platform's log
// ("Preview.Draw(152x112)").
#pragma once

#include "gfx/bitmap.h"
#include "gfx/rect.h"
#include "platform/form_window.h"
#include "platform/preview_host.h"

namespace tovrin {

class THeadlessPlatform;

// A window of another program, for previews: its client area is a bitmap. A test moves, hides or
// destroys it by changing the fields.
class THeadlessPreviewWindow {
 public:
  THeadlessPreviewWindow(TRect windowRect, bool visible)
      : Rect(windowRect), Visible(visible), Client(windowRect.Width(), windowRect.Height()) {}
  TRect Rect;
  bool Visible;
  bool Destroyed = false;
  TBitmap Client;
  int DrawCount = 0;
};

// The preview window of handle as the platform hands it out; it looks the window up at every
// call, so it follows what the test changes.
class THeadlessPreviewHost final : public TPreviewHost {
 public:
  THeadlessPreviewHost(THeadlessPlatform& platform, TWindowHandle handle)
      : FPlatform(platform), FHandle(handle) {}
  bool Exists() const override;
  bool IsVisible() const override;
  TRect WindowRect() const override;
  void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override;

 private:
  THeadlessPlatform& FPlatform;
  TWindowHandle FHandle;
};

}  // namespace tovrin
