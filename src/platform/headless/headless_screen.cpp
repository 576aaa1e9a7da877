#include "platform/headless/headless_screen.h"

#include <string>

#include "platform/headless/headless_platform.h"

namespace tovrin {

int32_t THeadlessScreen::Width() const {
  return FPlatform.Script().ScreenWidth;
}

int32_t THeadlessScreen::Height() const {
  return FPlatform.Script().ScreenHeight;
}

int32_t THeadlessScreen::PixelsPerInch() const {
  return FPlatform.Script().PixelsPerInch;
}

void THeadlessScreen::ShowCursor(bool show) {
  FPlatform.Record("ShowCursor(" + THeadlessPlatform::Flag(show) + ")");
  FCount += show ? 1 : -1;
}

void THeadlessScreen::SetCursor(TCursor cursor) {
  FPlatform.Record("SetCursor(" + std::to_string(cursor) + ")");
  FCursor = cursor;
}

}  // namespace tovrin
