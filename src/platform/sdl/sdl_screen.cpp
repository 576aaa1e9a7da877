#include "platform/sdl/sdl_screen.h"

#include "core/errors.h"

namespace tovrin {

TSdlScreen::TSdlScreen(TSdlApplication& application, TSdlVideo& video,
                       std::function<TX11Connection&()> x11, TWindowHandle hostWindow)
    : FApplication(application), FVideo(video), FX11(std::move(x11)), FHostWindow(hostWindow) {}

TSdlScreen::~TSdlScreen() {
  *FAlive = false;
  FWatch.reset();
  if (FHand) SDL_FreeCursor(FHand);
}

std::vector<TMonitor> TSdlScreen::Monitors() const {
  if (FHostWindow != 0) {
    const TX11Connection::TWindowState state =
        FX11().WindowState(static_cast<uint32_t>(FHostWindow));
    if (!state.Exists) throw Exception("The host window does not exist");
    return {TMonitor{TRect{0, 0, state.ScreenRect.Width(), state.ScreenRect.Height()}}};
  }
  if (FWatch) return FWatch->Monitors();
  return FX11().Monitors();
}

void TSdlScreen::SetOnMonitorsChanged(std::function<void()> handler) {
  FOnMonitorsChanged = std::move(handler);
  if (FHostWindow != 0) return;
  if (!FOnMonitorsChanged) {
    FWatch.reset();
  } else if (!FWatch) {
    std::weak_ptr<bool> alive = FAlive;
    FWatch = std::make_unique<TX11MonitorWatch>(FApplication, FX11(), [this, alive] {
      const auto flag = alive.lock();
      if (!flag || !*flag) return;
      // A copy: the handler may replace itself.
      const std::function<void()> handler = FOnMonitorsChanged;
      if (handler) handler();
    });
  }
}

int32_t TSdlScreen::PixelsPerInch() const {
  if (FDpi == 0) {
    const int32_t dpi = FX11().XftDpi();
    FDpi = dpi > 0 ? dpi : 96;
  }
  return FDpi;
}

void TSdlScreen::ShowCursor(bool show) {
  FCount += show ? 1 : -1;
  // The host's window keeps the host's cursor.
  if (FHostWindow != 0 || !FVideo.Started()) return;
  SDL_ShowCursor(FCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void TSdlScreen::SetCursor(TCursor cursor) {
  FCursor = cursor;
  if (!FVideo.Started()) return;
  if (cursor == crHandPoint) {
    if (!FHand) FHand = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND);
    if (FHand) SDL_SetCursor(FHand);
  } else {
    SDL_SetCursor(SDL_GetDefaultCursor());
  }
}

}  // namespace tovrin
