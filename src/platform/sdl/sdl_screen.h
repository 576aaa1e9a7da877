// TSdlScreen: the primary display through SDL, or, for a show hosted in another program's
// window, that window: its size is the size the show composes its frames for.
#pragma once

#include <SDL.h>

#include <functional>

#include "platform/form_window.h"
#include "platform/screen.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_connection.h"

namespace tovrin {

class TSdlScreen final : public TScreen {
 public:
  // x11 gives the display connection for the host window's size and the desktop's resolution
  // (made when first needed). hostWindow 0: the primary display.
  TSdlScreen(TSdlVideo& video, std::function<TX11Connection&()> x11, TWindowHandle hostWindow);
  ~TSdlScreen() override;
  TSdlScreen(const TSdlScreen&) = delete;
  TSdlScreen& operator=(const TSdlScreen&) = delete;

  int32_t Width() const override { return Bounds().Width(); }
  int32_t Height() const override { return Bounds().Height(); }
  std::vector<TMonitor> Monitors() const override { return {TMonitor{Bounds()}}; }
  void SetOnMonitorsChanged(std::function<void()> handler) override {
    FOnMonitorsChanged = std::move(handler);
  }
  // The desktop's font resolution (Xft.dpi), 96 when it sets none.
  int32_t PixelsPerInch() const override;
  void ShowCursor(bool show) override;
  void SetCursor(TCursor cursor) override;
  TCursor Cursor() const override { return FCursor; }
  int CursorCount() const { return FCount; }

 private:
  TRect Bounds() const;

  TSdlVideo& FVideo;
  std::function<TX11Connection&()> FX11;
  const TWindowHandle FHostWindow;
  int FCount = 0;
  TCursor FCursor = crDefault;
  SDL_Cursor* FHand = nullptr;
  mutable int32_t FDpi = 0;
  std::function<void()> FOnMonitorsChanged;
};

}  // namespace tovrin
