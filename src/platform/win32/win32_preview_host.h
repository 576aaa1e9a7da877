// TWin32PreviewHost: another program's window, by handle, for the preview. Each Draw takes the
// window's device context, copies the bitmap's rows to it (SetDIBitsToDevice) and releases it.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/preview_host.h"

namespace tovrin {

class TWin32PreviewHost final : public TPreviewHost {
 public:
  explicit TWin32PreviewHost(HWND window) : FWindow(window) {}
  bool Exists() const override { return IsWindow(FWindow) != FALSE; }
  bool IsVisible() const override { return IsWindowVisible(FWindow) != FALSE; }
  TRect WindowRect() const override;
  void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override;

 private:
  HWND FWindow;
};

}  // namespace tovrin
