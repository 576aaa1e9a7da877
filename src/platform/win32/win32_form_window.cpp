#include "platform/win32/win32_form_window.h"

#include <windowsx.h>

#include <utility>

#include "core/errors.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_screen.h"

namespace tovrin {

namespace {

constexpr char kWindowClass[] = "TovrinForm";
// More rectangles than this in an update region are painted as their bounding box.
constexpr size_t kMaxPaintRects = 64;

TMouseButton ButtonOf(UINT msg) {
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

TShiftState CurrentShiftState() {
  TShiftState shift = 0;
  if (GetKeyState(0x10) & 0x8000) shift |= ssShift;  // VK_SHIFT
  if (GetKeyState(VK_MENU) & 0x8000) shift |= ssAlt;
  if (GetKeyState(VK_CONTROL) & 0x8000) shift |= ssCtrl;
  return shift;
}

TWin32FormWindow::TWin32FormWindow(TWin32Application& application, TWin32Screen& screen,
                                   TFormEvents& events)
    : FApplication(application), FScreen(screen), FEvents(events) {
  RegisterWindowClass(application.Instance(), kWindowClass, &GuardedWndProc<TWin32FormWindow>,
                      CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW));
  FHandle = CreateWindowExA(0, kWindowClass, "", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 1, 1,
                            application.Handle(), nullptr, application.Instance(), this);
  if (!FHandle) throw Exception("Cannot create the show window");
}

TWin32FormWindow::~TWin32FormWindow() {
  // Messages that come during and after the destruction find no object any more.
  SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
  DestroyWindow(FHandle);
}

bool TWin32FormWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  FApplication.NoteDisplayMessage(msg, wParam);
  switch (msg) {
    case WM_PAINT:
      Paint();
      return true;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wParam));
      result = 1;
      return true;
    case WM_SIZE:
      FControls.ParentResized();
      return true;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && FScreen.ApplyCursor()) {
        result = TRUE;
        return true;
      }
      return false;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      FEvents.FormKeyDown(static_cast<uint16_t>(wParam), CurrentShiftState());
      return true;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return true;
    case WM_MOUSEMOVE:
      MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return true;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      MouseButton(msg, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return true;
    case WM_MOUSELEAVE:
      FTrackingLeave = false;
      FControls.MouseLeft();
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && FVisible) Activated();
      return false;
    case WM_CLOSE:
      FEvents.FormCloseRequest();
      return true;
    case WM_DPICHANGED:
      // The window keeps the area it was given in physical pixels (the show places it on its
      // monitor); the size the system suggests for the new DPI is not taken.
      return true;
    default:
      // The form's private messages (WM_USER to 0x7FFF), from other programs or its own code.
      if (msg >= WM_USER && msg < WM_APP) {
        FEvents.FormUserMessage(msg);
        return true;
      }
      return false;
  }
}

void TWin32FormWindow::Activated() {
  // FormActivate may open a modal window (a message box, the password dialog); when it closes,
  // the system activates this window again while the first FormActivate still runs. That
  // activation is delivered after it, not inside it.
  FActivation.Deliver([this] { FEvents.FormActivate(); },
                      [this] { return GetActiveWindow() == FHandle; });
}

void TWin32FormWindow::Paint() {
  // The update region, taken before BeginPaint validates it.
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  std::vector<TRect> rects;
  if (region) {
    if (GetUpdateRgn(FHandle, region, FALSE) != ERROR) rects = RegionRects(region, kMaxPaintRects);
    DeleteObject(region);
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(FHandle, &ps);
  if (!dc) return;
  if (rects.empty()) {
    rects.push_back(TRect{ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
  }
  // EndPaint however the controls' paints end.
  struct TEndPaint {
    HWND Window;
    PAINTSTRUCT* Paint;
    ~TEndPaint() { EndPaint(Window, Paint); }
  } end{FHandle, &ps};
  const std::vector<THostControl*> controls = FControls.List();
  for (THostControl* control : controls) {
    const TRect bounds = control->BoundsRect();
    std::vector<TRect> clip;
    for (const TRect& r : rects) {
      const TRect part = IntersectRect(r, bounds);
      if (!part.IsEmpty()) clip.push_back(part);
    }
    if (clip.empty()) continue;
    FCanvas.SetView(dc, TPoint{bounds.Left, bounds.Top}, std::move(clip));
    control->WMPaint(FCanvas);
  }
  FCanvas.SetView(nullptr, TPoint{}, {});
}

void TWin32FormWindow::EraseBackground(HDC dc) {
  const int saved = SaveDC(dc);
  for (THostControl* control : FControls.List()) {
    if (!control->WMEraseBkgnd()) continue;
    const TRect b = control->BoundsRect();
    ExcludeClipRect(dc, b.Left, b.Top, b.Right, b.Bottom);
  }
  RECT client;
  GetClientRect(FHandle, &client);
  const TColor c = ColorToRGB(FColor);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(c));
  if (brush) {
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  }
  RestoreDC(dc, saved);
}

int32_t TWin32FormWindow::ClientWidth() const {
  RECT r;
  GetClientRect(FHandle, &r);
  return r.right - r.left;
}

int32_t TWin32FormWindow::ClientHeight() const {
  RECT r;
  GetClientRect(FHandle, &r);
  return r.bottom - r.top;
}

void TWin32FormWindow::InvalidateRect(const TRect& rect, bool erase) {
  const RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::InvalidateRect(FHandle, &r, erase ? TRUE : FALSE);
}

void TWin32FormWindow::Update() {
  UpdateWindow(FHandle);
}

void TWin32FormWindow::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32FormWindow::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  ::InvalidateRect(FHandle, nullptr, TRUE);
}

void TWin32FormWindow::SetTopmost() {
  SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWin32FormWindow::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  if (!visible) {
    ShowWindow(FHandle, SW_HIDE);
    return;
  }
  FEvents.FormShow();
  HWND handle = FHandle;
  ShowWindow(handle, SW_SHOW);
  // The activation (WM_ACTIVATE, FormActivate) comes while the window is shown or brought to
  // the front; a system that does not activate it leaves it inactive, as it would any window.
  SetForegroundWindow(handle);
  UpdateWindow(handle);
}

void TWin32FormWindow::Close() {
  PostMessageA(FHandle, WM_CLOSE, 0, 0);
}

void TWin32FormWindow::ReleaseCapture() {
  ::ReleaseCapture();
}

void TWin32FormWindow::MouseMove(int32_t x, int32_t y) {
  if (!FTrackingLeave) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
    FTrackingLeave = TrackMouseEvent(&track) != FALSE;
  }
  if (!FControls.MouseMove(x, y)) FEvents.FormMouseMove(CurrentShiftState(), x, y);
}

void TWin32FormWindow::MouseButton(UINT msg, int32_t x, int32_t y) {
  const TMouseButton button = ButtonOf(msg);
  if (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP || msg == WM_MBUTTONUP) {
    FControls.MouseUp(button, x, y);
  } else if (!FControls.MouseDown(button, x, y)) {
    FEvents.FormMouseDown(button, CurrentShiftState(), x, y);
  }
}

}  // namespace tovrin
