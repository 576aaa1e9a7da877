#include "platform/sdl/sdl_form_window.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <string>

#include "core/errors.h"
#include "platform/sdl/pixel_copy.h"
#include "platform/sdl/sdl_keys.h"

namespace tovrin {

namespace {

// How long a window of our own that has just appeared or changed size waits for a paint before it
// paints itself: longer than the show takes from its window's appearance to its first picture.
constexpr uint32_t kDeferredPaintMs = 100;

SDL_Rect ToSdl(const TRect& r) {
  return SDL_Rect{r.Left, r.Top, r.Width(), r.Height()};
}

}  // namespace

TSdlFormWindow::TSdlFormWindow(TSdlVideo& video, TApplication& application, TFormEvents& events,
                               TWindowHandle hostWindow)
    : FVideo(video), FApplication(application), FEvents(events), FHosted(hostWindow != 0) {
  FVideo.Start();
  if (FHosted) {
    FWindow.reset(SDL_CreateWindowFrom(reinterpret_cast<const void*>(hostWindow)));
  } else {
    // Override-redirect, as screen savers' windows are: the window manager neither moves,
    // decorates nor stacks it, so bounds that cover the display cover panels and docks too.
    SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, "1");
    FWindow.reset(
        SDL_CreateWindow("Tovrin", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS));
    SDL_SetHint(SDL_HINT_X11_FORCE_OVERRIDE_REDIRECT, nullptr);
  }
  if (!FWindow) throw Exception(std::string("Cannot create the show window: ") + SDL_GetError());
  if (FHosted) SDL_GetWindowSize(FWindow.get(), &FWidth, &FHeight);
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(FWindow.get(), &info) && info.subsystem == SDL_SYSWM_X11) {
    FHandle = static_cast<TWindowHandle>(info.info.x11.window);
    // SDL listens to nothing on a window it did not make; hear when the host's window needs
    // its picture again (uncovered), which any number of programs may ask for.
    if (FHosted) XSelectInput(info.info.x11.display, info.info.x11.window, ExposureMask);
  }
  FVideo.Register(FWindow.get(), *this);
  FDeferredPaint.SetEnabled(false);
  FDeferredPaint.SetInterval(kDeferredPaintMs);
  FDeferredPaint.SetOnTimer([this] {
    FDeferredPaint.SetEnabled(false);
    Update();
  });
}

TSdlFormWindow::~TSdlFormWindow() {
  *FAlive = false;
  FVideo.Unregister(FWindow.get());
  if (OnDestroy) OnDestroy();
}

void TSdlFormWindow::InvalidateRect(const TRect& rect, bool erase) {
  const TRect clipped = IntersectRect(rect, TRect{0, 0, FWidth, FHeight});
  if (clipped.IsEmpty()) return;
  FInvalid.Add(clipped);
  FEraseInvalid = FEraseInvalid || erase;
}

void TSdlFormWindow::Update() {
  if (FInvalid.Empty()) return;
  FDeferredPaint.SetEnabled(false);
  // The invalid area is validated before the paint is delivered: what a control invalidates
  // while it paints waits for the next paint.
  FPainting = FInvalid;
  const bool erase = FEraseInvalid;
  FInvalid.Clear();
  FEraseInvalid = false;

  SDL_Surface* surface = SDL_GetWindowSurface(FWindow.get());
  if (!surface) return;
  FPainting.ClipTo(TRect{0, 0, surface->w, surface->h});
  if (FPainting.Empty()) return;
  const TRect update = FPainting.Bounds();
  if (erase) {
    const TColor rgb = ColorToRGB(FColor);
    const uint32_t pixel =
        SDL_MapRGB(surface->format, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    for (const TRect& r : FPainting.Rects()) {
      const SDL_Rect sr = ToSdl(r);
      SDL_FillRect(surface, &sr, pixel);
    }
  }
  FControls.Paint(update, erase,
                  [this, surface](const TRect& bounds, const TRect& clip) -> TCanvas& {
                    FCanvas.SetView(surface, bounds.Left, bounds.Top, clip);
                    return FCanvas;
                  });
  FCanvas.SetView(nullptr, 0, 0, TRect{});
  std::vector<SDL_Rect> rects;
  rects.reserve(FPainting.Rects().size());
  for (const TRect& r : FPainting.Rects()) rects.push_back(ToSdl(r));
  SDL_UpdateWindowSurfaceRects(FWindow.get(), rects.data(), static_cast<int>(rects.size()));
  FPainting.Clear();
  if (OnPresented) OnPresented();
}

void TSdlFormWindow::CopyToSurface(SDL_Surface* surface, const TBitmap& bitmap, int32_t bx,
                                   int32_t by, const TRect& rect) {
  const int32_t w = rect.Width();
  const int32_t h = rect.Height();
  FPresentedPixels += static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
  const bool mustLock = SDL_MUSTLOCK(surface);
  if (mustLock && SDL_LockSurface(surface) != 0) return;
  uint8_t* target = static_cast<uint8_t*>(surface->pixels) +
                    static_cast<size_t>(rect.Top) * static_cast<size_t>(surface->pitch) +
                    static_cast<size_t>(rect.Left) * surface->format->BytesPerPixel;
  const uint32_t format = surface->format->format;
  if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
    CopyToXrgb32(bitmap, rect.Left - bx, rect.Top - by, w, h, target,
                 static_cast<size_t>(surface->pitch));
  } else {
    const size_t pitch = 4 * static_cast<size_t>(w);
    FConvert.resize(pitch * static_cast<size_t>(h));
    CopyToXrgb32(bitmap, rect.Left - bx, rect.Top - by, w, h, FConvert.data(), pitch);
    SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_ARGB8888, FConvert.data(), static_cast<int>(pitch),
                      format, target, surface->pitch);
  }
  if (mustLock) SDL_UnlockSurface(surface);
}

void TSdlFormWindow::TSurfaceCanvas::Draw(int32_t x, int32_t y, const TBitmap& bitmap) {
  if (!FSurface) return;
  // Where the bitmap lands, in window coordinates.
  TRect placed{FOriginX + x, FOriginY + y, FOriginX + x + bitmap.Width(),
               FOriginY + y + bitmap.Height()};
  placed = IntersectRect(placed, FClip);
  if (placed.IsEmpty()) return;
  for (const TRect& r : FWindow.FPainting.Rects()) {
    const TRect part = IntersectRect(r, placed);
    if (!part.IsEmpty()) FWindow.CopyToSurface(FSurface, bitmap, FOriginX + x, FOriginY + y, part);
  }
}

TRect TSdlFormWindow::TSurfaceCanvas::ClipRect() const {
  TRect r = FClip;
  r.Offset(-FOriginX, -FOriginY);
  return r;
}

void TSdlFormWindow::Resized(int32_t width, int32_t height) {
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  FControls.ParentResized();
}

void TSdlFormWindow::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (FHosted) return;  // the host's window keeps the host's size
  width = std::max(1, width);
  height = std::max(1, height);
  SDL_SetWindowPosition(FWindow.get(), left, top);
  SDL_SetWindowSize(FWindow.get(), width, height);
  if (width == FWidth && height == FHeight) return;
  Resized(width, height);
  // The display shows the form's colour where the window grew; all of it is painted again.
  InvalidateRect(TRect{0, 0, FWidth, FHeight}, true);
  if (FMapped && !FDeferredPaint.Enabled()) FDeferredPaint.SetEnabled(true);
}

void TSdlFormWindow::SetColor(TColor color) {
  FColor = color;
  if (!FHosted) ApplyBackground();
}

void TSdlFormWindow::ApplyBackground() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(FWindow.get(), &info) || info.subsystem != SDL_SYSWM_X11) return;
  Display* display = info.info.x11.display;
  const ::Window window = info.info.x11.window;
  // The display fills what of the window no paint has reached yet with this pixel (the window
  // appears, grows, or is uncovered): the form's colour at once, never the desktop underneath.
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes) || !attributes.visual) return;
  const Visual& visual = *attributes.visual;
  const auto scale = [](uint8_t value, unsigned long mask) -> unsigned long {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const unsigned long max = mask >> shift;
    return ((static_cast<unsigned long>(value) * max + 127) / 255) << shift;
  };
  const TColor rgb = ColorToRGB(FColor);
  const unsigned long pixel = scale(GetRValue(rgb), visual.red_mask) |
                              scale(GetGValue(rgb), visual.green_mask) |
                              scale(GetBValue(rgb), visual.blue_mask);
  XSetWindowBackground(display, window, pixel);
}

void TSdlFormWindow::SetTopmost() {
  if (FHosted) return;
  SDL_SetWindowAlwaysOnTop(FWindow.get(), SDL_TRUE);
}

void TSdlFormWindow::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (!visible) {
    FDeferredPaint.SetEnabled(false);
    if (!FHosted) SDL_HideWindow(FWindow.get());
    FMapped = false;
    return;
  }
  // What the system does for a window that appears: erase, paint, show, activate.
  InvalidateRect(TRect{0, 0, FWidth, FHeight}, true);
  if (FHosted) {
    Update();
    FEvents.FormShow();
    if (FVisible) Activated();
    return;
  }
  // A window of our own reaches the display only after its activation: the show's first
  // activation gives it its place, size and colour, and a window mapped before that would show
  // its design-time size and colour for as long as the package takes to load. Its first paint
  // waits for the first Update after that, or for kDeferredPaintMs if none comes: until then
  // the display fills the window with the form's colour (ApplyBackground), which is all an erase
  // would draw, so the show's screen is not painted black only to be painted over by its first
  // picture a moment later.
  FEvents.FormShow();
  // A window that leaves the keyboard where it is never counts as activated by appearing (SDL
  // may think it has the keyboard until the focus given back reaches it).
  if (FVisible && FTakesFocus) Activated();
  // Mapped already when the activation opened a modal box (ModalOpening).
  if (!FVisible || FMapped) return;
  Map();
  FDeferredPaint.SetEnabled(true);
}

void TSdlFormWindow::ModalOpening() {
  if (FHosted || !FVisible || FMapped) return;
  Map();
  FDeferredPaint.SetEnabled(true);
}

void TSdlFormWindow::Map() {
  ApplyBackground();
  if (FTakesFocus) {
    SDL_ShowWindow(FWindow.get());
    SDL_RaiseWindow(FWindow.get());
    // No window manager gives an override-redirect window the keyboard: take it.
    SDL_SetWindowInputFocus(FWindow.get());
  } else {
    ShowKeepingFocus();
  }
  FMapped = true;
}

void TSdlFormWindow::ShowKeepingFocus() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  const bool x11 = SDL_GetWindowWMInfo(FWindow.get(), &info) && info.subsystem == SDL_SYSWM_X11;
  ::Window focus = 0;
  int revert = RevertToParent;
  if (x11) XGetInputFocus(info.info.x11.display, &focus, &revert);
  SDL_ShowWindow(FWindow.get());
  SDL_RaiseWindow(FWindow.get());
  // With no window manager running, SDL gives every window it shows the keyboard; give it back.
  if (x11 && focus != None && focus != PointerRoot && focus != info.info.x11.window) {
    XSetInputFocus(info.info.x11.display, focus, revert, CurrentTime);
    XFlush(info.info.x11.display);
  }
}

void TSdlFormWindow::Activated() {
  // FormActivate may open a modal box, whose loop delivers this window's events while it is
  // open; when the window gets the keyboard back meanwhile (the box closed, a window manager or
  // another program focused it), that activation is delivered after the first FormActivate
  // returns, not inside it.
  FActivation.Deliver([this] { FEvents.FormActivate(); },
                      [this] { return FVisible && HasKeyboardFocus(); });
}

bool TSdlFormWindow::HasKeyboardFocus() const {
  return (SDL_GetWindowFlags(FWindow.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void TSdlFormWindow::Close() {
  TFormEvents* events = &FEvents;
  std::weak_ptr<bool> alive = FAlive;
  FApplication.Post([events, alive] {
    const auto flag = alive.lock();
    if (flag && *flag) events->FormCloseRequest();
  });
}

void TSdlFormWindow::ReleaseCapture() {
  SDL_CaptureMouse(SDL_FALSE);
}

void TSdlFormWindow::CursorInWindow(int32_t& x, int32_t& y) const {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(FWindow.get(), &info) || info.subsystem != SDL_SYSWM_X11) return;
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0;
  int rootY = 0;
  int winX = 0;
  int winY = 0;
  unsigned int mask = 0;
  if (XQueryPointer(info.info.x11.display, info.info.x11.window, &root, &child, &rootX, &rootY,
                    &winX, &winY, &mask)) {
    x = winX;
    y = winY;
  }
}

void TSdlFormWindow::HandleEvent(const SDL_Event& event) {
  if (event.type == SDL_WINDOWEVENT) {
    switch (event.window.event) {
      case SDL_WINDOWEVENT_EXPOSED:
        // The surface still holds the last image: send it again.
        if (FVisible) SDL_UpdateWindowSurface(FWindow.get());
        break;
      case SDL_WINDOWEVENT_SIZE_CHANGED:
        // The size SetBounds gave is known already, and what it uncovered is invalid since:
        // the display shows the form's colour there until the next paint. Only a size that
        // someone else chose is painted here.
        if (!FHosted && (event.window.data1 != FWidth || event.window.data2 != FHeight)) {
          Resized(event.window.data1, event.window.data2);
          InvalidateRect(TRect{0, 0, FWidth, FHeight}, true);
          Update();
        }
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        FLostFocus = true;
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        // Back from another window: the form is activated again.
        if (FLostFocus && FVisible && !FHosted) {
          FLostFocus = false;
          Activated();
        }
        break;
      case SDL_WINDOWEVENT_LEAVE:
        FControls.MouseLeft();
        break;
      case SDL_WINDOWEVENT_CLOSE:
        FEvents.FormCloseRequest();
        break;
      default:
        break;
    }
    return;
  }
  if (FHosted) return;  // the host's window: its input is the host's
  switch (event.type) {
    case SDL_KEYDOWN:
      FEvents.FormKeyDown(VirtualKeyOf(event.key.keysym.sym), ShiftStateOf(event.key.keysym.mod));
      break;
    case SDL_MOUSEMOTION: {
      // Where the cursor is now, in the window as it is now: an event queued before the
      // window moved or grew (the show covers the screen right after it first appears) carries
      // coordinates in the old place, and would read as a jump of the resting cursor.
      int32_t x = event.motion.x;
      int32_t y = event.motion.y;
      CursorInWindow(x, y);
      if (!FControls.MouseMove(x, y)) {
        FEvents.FormMouseMove(ShiftStateOf(SDL_GetModState()), x, y);
      }
      break;
    }
    case SDL_MOUSEBUTTONDOWN: {
      const TMouseButton button = MouseButtonOf(event.button.button);
      const int32_t x = event.button.x;
      const int32_t y = event.button.y;
      if (!FControls.MouseDown(button, x, y)) {
        FEvents.FormMouseDown(button, ShiftStateOf(SDL_GetModState()), x, y);
      }
      break;
    }
    case SDL_MOUSEBUTTONUP:
      FControls.MouseUp(MouseButtonOf(event.button.button), event.button.x, event.button.y);
      break;
    default:
      break;
  }
}

}  // namespace tovrin
