#include "platform/headless/headless_preview_host.h"

#include <string>

#include "gfx/draw.h"
#include "platform/headless/headless_platform.h"

namespace tovrin {

bool THeadlessPreviewHost::Exists() const {
  const THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
  return w && !w->Destroyed;
}

bool THeadlessPreviewHost::IsVisible() const {
  const THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
  return w && !w->Destroyed && w->Visible;
}

TRect THeadlessPreviewHost::WindowRect() const {
  const THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
  return w ? w->Rect : TRect{};
}

void THeadlessPreviewHost::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
  THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
  if (!w || w->Destroyed) return;
  FPlatform.Record("Preview.Draw(" + std::to_string(bitmap.Width()) + "x" +
                   std::to_string(bitmap.Height()) + ")");
  ::tovrin::Draw(w->Client, x, y, bitmap);
  ++w->DrawCount;
}

}  // namespace tovrin
