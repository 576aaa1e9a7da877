// TSdlFormWindow: the show's form window on SDL.
//
// Two kinds:
//   own     a borderless override-redirect window (as screen savers make theirs: no window
//           manager moves or stacks it), created hidden at (0, 0) and 1 x 1. Shown, it is
//           activated first and mapped after that, with the form's colour as the display's
//           background for it, and takes the keyboard. Keys, mouse buttons and movement go to the
//           form and its controls.
//   hosted  a window another program hands over (a screen-saver host's, or the root window),
//           taken with SDL_CreateWindowFrom. Its size is the host's; bounds, visibility and
//           stacking stay the host's business, and no input is handled: the host decides when
//           the show ends.
//
// Presentation: the window surface (SDL's client-side copy of the window's pixels) receives
// what controls draw while a paint is delivered, and only the invalid rectangles go to the
// display (SDL_UpdateWindowSurfaceRects). When the display asks for the window's contents again
// (exposure), the surface is sent as it is, without repainting the controls.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/application.h"
#include "platform/common/activation_guard.h"
#include "platform/common/hosted_controls.h"
#include "platform/form_window.h"
#include "platform/sdl/dirty_rects.h"
#include "platform/sdl/sdl_video.h"
#include "platform/timer.h"

namespace tovrin {

class TSdlFormWindow final : public TFormWindow, public TSdlEventSink {
 public:
  // hostWindow 0: a window of our own; otherwise the X11 window to draw into.
  TSdlFormWindow(TSdlVideo& video, TApplication& application, TFormEvents& events,
                 TWindowHandle hostWindow = 0);
  ~TSdlFormWindow() override;
  TSdlFormWindow(const TSdlFormWindow&) = delete;
  TSdlFormWindow& operator=(const TSdlFormWindow&) = delete;

  // THostWindow
  int32_t ClientWidth() const override { return FWidth; }
  int32_t ClientHeight() const override { return FHeight; }
  TColor Color() const override { return FColor; }
  void InsertControl(THostControl& control) override { FControls.Insert(control); }
  void RemoveControl(THostControl& control) override { FControls.Remove(control); }
  void InvalidateRect(const TRect& rect, bool erase) override;
  void Update() override;

  // TFormWindow
  TWindowHandle Handle() const override { return FHandle; }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) override;
  // A window of our own also takes the colour as the display's background for it.
  void SetColor(TColor color) override;
  void SetTopmost() override;
  void SetVisible(bool visible) override;
  bool Visible() const override { return FVisible; }
  void Close() override;
  void ReleaseCapture() override;

  // TSdlEventSink
  void HandleEvent(const SDL_Event& event) override;
  // A window of our own still waiting for its activation to end appears now, below the box.
  void ModalOpening() override;

  // Runs when the window is destroyed.
  std::function<void()> OnDestroy;

  // Whether the window takes the keyboard when it is shown (on by default). A show's windows on
  // the other monitors leave it with the first one, which gets the keys.
  void SetTakesFocus(bool takesFocus) { FTakesFocus = takesFocus; }

  bool Hosted() const { return FHosted; }
  SDL_Window* Window() const { return FWindow.get(); }
  // Pixels converted and sent to the display by paints so far (for measurements).
  uint64_t PresentedPixels() const { return FPresentedPixels; }
  // Runs after each paint has been sent to the display (for measurements).
  std::function<void()> OnPresented;

 private:
  struct TWindowDeleter {
    void operator()(SDL_Window* w) const { SDL_DestroyWindow(w); }
  };

  // The canvas a control paints on: origin at the control, drawing limited to the invalid
  // rectangles within its clip.
  class TSurfaceCanvas final : public TCanvas {
   public:
    explicit TSurfaceCanvas(TSdlFormWindow& window) : FWindow(window) {}
    void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override;
    TRect ClipRect() const override;
    void SetView(SDL_Surface* surface, int32_t originX, int32_t originY, const TRect& clip) {
      FSurface = surface;
      FOriginX = originX;
      FOriginY = originY;
      FClip = clip;
    }

   private:
    TSdlFormWindow& FWindow;
    SDL_Surface* FSurface = nullptr;
    int32_t FOriginX = 0;
    int32_t FOriginY = 0;
    TRect FClip;  // window coordinates
  };

  // Copies the rect (window coordinates) of bitmap, drawn with its top-left at (bx, by), into
  // the surface.
  void CopyToSurface(SDL_Surface* surface, const TBitmap& bitmap, int32_t bx, int32_t by,
                     const TRect& rect);
  void Resized(int32_t width, int32_t height);
  // Makes a window of our own the display's background colour, then shows it, on top, with the
  // keyboard when it takes it (see SetTakesFocus).
  void Map();
  void ApplyBackground();
  // Shows the window and raises it, leaving the keyboard where it was.
  void ShowKeepingFocus();
  // The window got the keyboard: FormActivate, never nested in itself (see the .cpp).
  void Activated();
  bool HasKeyboardFocus() const;
  // Replaces (x, y) with where the cursor is now in the window (the display's answer; left
  // as they are when it cannot tell).
  void CursorInWindow(int32_t& x, int32_t& y) const;

  TSdlVideo& FVideo;
  TApplication& FApplication;
  TFormEvents& FEvents;
  const bool FHosted;
  std::unique_ptr<SDL_Window, TWindowDeleter> FWindow;
  TWindowHandle FHandle = 0;
  int32_t FWidth = 1;
  int32_t FHeight = 1;
  TColor FColor = clBtnFace;
  bool FVisible = false;
  bool FTakesFocus = true;
  bool FMapped = false;  // a window of our own: on the display
  bool FLostFocus = false;
  TActivationGuard FActivation;
  THostedControls FControls;
  TDirtyRects FInvalid;
  bool FEraseInvalid = false;
  // The rectangles of the paint being delivered (window coordinates).
  TDirtyRects FPainting;
  TSurfaceCanvas FCanvas{*this};
  std::vector<uint8_t> FConvert;  // staging for surfaces not in the display's usual format
  uint64_t FPresentedPixels = 0;
  // Set on destruction so that a close request queued earlier finds the window gone.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
  // Paints what is still invalid a while after a window of our own appears or changes size, if
  // nothing has painted it by then (see SetVisible).
  TTimer FDeferredPaint{FApplication};
};

}  // namespace tovrin
