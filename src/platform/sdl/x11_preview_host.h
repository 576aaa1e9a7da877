// TX11PreviewHost: another program's X11 window, drawn on for a preview.
#pragma once

#include <cstdint>

#include "platform/preview_host.h"
#include "platform/sdl/x11_connection.h"

namespace tovrin {

class TX11PreviewHost final : public TPreviewHost {
 public:
  TX11PreviewHost(TX11Connection& connection, uint32_t window)
      : FConnection(connection), FWindow(window) {}
  bool Exists() const override { return FConnection.WindowState(FWindow).Exists; }
  bool IsVisible() const override { return FConnection.WindowState(FWindow).Viewable; }
  TRect WindowRect() const override { return FConnection.WindowState(FWindow).ScreenRect; }
  void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override {
    FConnection.Draw(FWindow, x, y, bitmap);
  }

 private:
  TX11Connection& FConnection;
  const uint32_t FWindow;
};

}  // namespace tovrin
