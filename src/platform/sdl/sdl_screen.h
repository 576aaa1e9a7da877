// TSdlScreen: the desk's monitors as the X server reports them (read through XCB: SDL reports
// one display for the monitors that share an output), or, for a show hosted in another
// program's window, that window as the one monitor: its size is the size the show composes its
// frames for (a screen-saver host runs one hosted show per monitor itself).
//
// While a handler is set, a TX11MonitorWatch follows the monitors (and Monitors() answers from
// what it last read); without one every call asks the server.
#pragma once

#include <SDL.h>

#include <functional>
#include <memory>

#include "platform/form_window.h"
#include "platform/screen.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/x11_connection.h"
#include "platform/sdl/x11_monitor_watch.h"

namespace tovrin {

class TSdlScreen final : public TScreen {
 public:
  // x11 gives the display connection for the monitors, the host window's size and the
  // desktop's resolution (made when first needed). hostWindow 0: the show has windows of its
  // own on the desk's monitors. Change notifications run from application's loop.
  TSdlScreen(TSdlApplication& application, TSdlVideo& video, std::function<TX11Connection&()> x11,
             TWindowHandle hostWindow);
  ~TSdlScreen() override;
  TSdlScreen(const TSdlScreen&) = delete;
  TSdlScreen& operator=(const TSdlScreen&) = delete;

  int32_t Width() const override { return Monitors().front().Bounds.Width(); }
  int32_t Height() const override { return Monitors().front().Bounds.Height(); }
  std::vector<TMonitor> Monitors() const override;
  // A hosted show's one monitor is the host's window, whose changes are the host's business:
  // the handler is kept but never runs.
  void SetOnMonitorsChanged(std::function<void()> handler) override;
  // The desktop's font resolution (Xft.dpi), 96 when it sets none.
  int32_t PixelsPerInch() const override;
  void ShowCursor(bool show) override;
  void SetCursor(TCursor cursor) override;
  TCursor Cursor() const override { return FCursor; }
  int CursorCount() const { return FCount; }

 private:
  TSdlApplication& FApplication;
  TSdlVideo& FVideo;
  std::function<TX11Connection&()> FX11;
  const TWindowHandle FHostWindow;
  int FCount = 0;
  TCursor FCursor = crDefault;
  SDL_Cursor* FHand = nullptr;
  mutable int32_t FDpi = 0;
  std::function<void()> FOnMonitorsChanged;
  std::unique_ptr<TX11MonitorWatch> FWatch;
  // Cleared on destruction: a notification posted earlier then finds the screen gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

}  // namespace tovrin
