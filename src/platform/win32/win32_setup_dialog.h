// TWin32SetupDialog: the setup dialog rendered with the system's plain controls: a captioned,
// fixed-size window in the model's background colour with static labels (the two links blue and
// underlined, with the hand cursor while pointed at), two check boxes and a default push button.
// Positions, sizes and font heights are the model's 96-dpi values scaled to the screen's
// resolution; labels size themselves to their text. Enter presses OK (IsDialogMessage runs for
// the dialog in the application's loop); the close button asks the model.
#pragma once

#include "platform/win32/win32_api.h"

#include <array>

#include "platform/setup_dialog.h"
#include "platform/win32/win32_gdi_object.h"
#include "platform/win32/win32_window_class.h"

namespace tovrin {

class TWin32Application;
class TWin32Screen;

class TWin32SetupDialog final : public TSetupDialogView {
 public:
  TWin32SetupDialog(TWin32Application& application, TWin32Screen& screen, TSetupDialogModel& model);
  ~TWin32SetupDialog() override;
  TWin32SetupDialog(const TWin32SetupDialog&) = delete;
  TWin32SetupDialog& operator=(const TWin32SetupDialog&) = delete;

  TWindowHandle Handle() const override { return reinterpret_cast<TWindowHandle>(FHandle); }
  void Show() override;
  void Refresh() override;
  void Close() override;

  // The control window of an item (for tests).
  HWND ItemWindow(TSetupItem item) const { return FItems[static_cast<size_t>(item)]; }

 private:
  friend LRESULT CALLBACK GuardedWndProc<TWin32SetupDialog>(HWND hwnd, UINT msg, WPARAM wParam,
                                                            LPARAM lParam);
  static LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void CreateControls();
  int32_t Scale(int32_t value) const { return MulDiv(value, FDpi, 96); }
  HFONT FontOf(TSetupItem item) const;
  static bool IsLink(TSetupItem item) {
    return item == TSetupItem::siEmail || item == TSetupItem::siWeb;
  }

  TWin32Application& FApplication;
  TWin32Screen& FScreen;
  TSetupDialogModel& FModel;
  int32_t FDpi = 96;
  HWND FHandle = nullptr;
  std::array<HWND, SetupItemCount> FItems{};
  std::array<bool, SetupItemCount> FHot{};
  WNDPROC FStaticProc = nullptr;
  TGdiObject<HFONT> FFont;
  TGdiObject<HFONT> FTitleFont;
  TGdiObject<HFONT> FLinkFont;
  TGdiObject<HBRUSH> FBackground;
};

}  // namespace tovrin
