#include "platform/sdl/sdl_screen.h"

#include "core/errors.h"

namespace tovrin {

TSdlScreen::TSdlScreen(TSdlVideo& video, std::function<TX11Connection&()> x11,
                       TWindowHandle hostWindow)
    : FVideo(video), FX11(std::move(x11)), FHostWindow(hostWindow) {}

TSdlScreen::~TSdlScreen() {
  if (FHand) SDL_FreeCursor(FHand);
}

TRect TSdlScreen::Bounds() const {
  if (FHostWindow != 0) {
    const TX11Connection::TWindowState state =
        FX11().WindowState(static_cast<uint32_t>(FHostWindow));
    if (!state.Exists) throw Exception("The host window does not exist");
    return TRect{0, 0, state.ScreenRect.Width(), state.ScreenRect.Height()};
  }
  FVideo.Start();
  SDL_Rect r{};
  if (SDL_GetDisplayBounds(0, &r) != 0) throw Exception("No display");
  return TRect{r.x, r.y, r.x + r.w, r.y + r.h};
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
