#include "platform/win32/win32_setup_dialog.h"

#include "core/errors.h"
#include "platform/win32/win32_application.h"
#include "platform/win32/win32_screen.h"

namespace tovrin {

namespace {

constexpr char kWindowClass[] = "TovrinSetup";
constexpr int kFirstItemId = 100;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
// Link labels: blue, as the model's design gives them.
constexpr COLORREF kLinkColor = 0x00FF0000;

int ItemId(TSetupItem item) {
  return item == TSetupItem::siOK ? IDOK : kFirstItemId + static_cast<int>(item);
}

size_t Index(TSetupItem item) {
  return static_cast<size_t>(item);
}

HFONT MakeFont(int32_t height, bool bold, bool underline) {
  return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline ? TRUE : FALSE,
                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}

SIZE TextSize(HWND window, HFONT font, const std::string& text) {
  SIZE size{0, 0};
  HDC dc = GetDC(window);
  if (!dc) return size;
  HGDIOBJ old = SelectObject(dc, font);
  if (text.empty()) {
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    size.cy = tm.tmHeight;
  } else {
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
  }
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return size;
}

}  // namespace

TWin32SetupDialog::TWin32SetupDialog(TWin32Application& application, TWin32Screen& screen,
                                     TSetupDialogModel& model)
    : FApplication(application), FScreen(screen), FModel(model), FDpi(screen.PixelsPerInch()) {
  RegisterWindowClass(application.Instance(), kWindowClass, &GuardedWndProc<TWin32SetupDialog>, 0,
                      LoadCursorA(nullptr, IDC_ARROW));

  FFont = TGdiObject(MakeFont(Scale(-11), false, false));
  FTitleFont = TGdiObject(MakeFont(Scale(-13), true, false));
  FLinkFont = TGdiObject(MakeFont(Scale(-11), false, true));
  FBackground =
      TGdiObject(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(model.BackgroundColor()))));

  RECT frame{0, 0, Scale(model.ClientWidth()), Scale(model.ClientHeight())};
  AdjustWindowRectEx(&frame, kDialogStyle, FALSE, kDialogExStyle);
  FHandle = CreateWindowExA(kDialogExStyle, kWindowClass, "", kDialogStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, application.Instance(), this);
  if (!FHandle) throw Exception("Cannot create the setup dialog");
  try {
    CreateControls();
  } catch (...) {
    // The window must not outlive the object its messages are routed to.
    Close();
    throw;
  }
}

TWin32SetupDialog::~TWin32SetupDialog() {
  Close();
}

HFONT TWin32SetupDialog::FontOf(TSetupItem item) const {
  if (item == TSetupItem::siTitle) return FTitleFont.Get();
  if (IsLink(item)) return FLinkFont.Get();
  return FFont.Get();
}

void TWin32SetupDialog::CreateControls() {
  int32_t count = 0;
  const TSetupItemLayout* layout = FModel.Layout(count);
  for (int32_t i = 0; i < count; ++i) {
    const TSetupItemLayout& place = layout[i];
    const TSetupItem item = place.Item;
    const char* cls = "STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (item) {
      case TSetupItem::siMute:
        cls = "BUTTON";
        style |= BS_CHECKBOX | WS_TABSTOP | WS_GROUP;
        break;
      case TSetupItem::siEveryMonitor:
        cls = "BUTTON";
        style |= BS_CHECKBOX | WS_TABSTOP;
        break;
      case TSetupItem::siOK:
        cls = "BUTTON";
        style |= BS_DEFPUSHBUTTON | WS_TABSTOP;
        break;
      case TSetupItem::siEmail:
      case TSetupItem::siWeb:
        style |= SS_LEFT | SS_NOTIFY | SS_NOPREFIX;
        break;
      default:
        style |= SS_LEFT | SS_NOPREFIX;
        break;
    }
    HWND control = CreateWindowExA(0, cls, "", style, Scale(place.Left), Scale(place.Top),
                                   Scale(place.Width), Scale(place.Height), FHandle,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(ItemId(item))),
                                   FApplication.Instance(), nullptr);
    if (!control) throw Exception("Cannot create the setup dialog's controls");
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(item)), FALSE);
    FItems[Index(item)] = control;
    if (IsLink(item)) {
      // The links watch the mouse themselves, for the hand cursor.
      SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
      FStaticProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
          control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWin32SetupDialog::LinkProc)));
    }
  }
}

void TWin32SetupDialog::Refresh() {
  if (!FHandle) return;
  SetWindowTextA(FHandle, FModel.Caption().c_str());
  int32_t count = 0;
  const TSetupItemLayout* layout = FModel.Layout(count);
  for (int32_t i = 0; i < count; ++i) {
    const TSetupItem item = layout[i].Item;
    HWND control = FItems[Index(item)];
    if (!control) continue;
    const std::string caption = FModel.ItemCaption(item);
    SetWindowTextA(control, caption.c_str());
    if (IsCheckBox(item)) {
      SendMessageA(control, BM_SETCHECK, FModel.Checked(item) ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (layout[i].Width == 0) {
      // A label takes the size of its text.
      const SIZE size = TextSize(control, FontOf(item), caption);
      SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  InvalidateRect(FHandle, nullptr, TRUE);
}

void TWin32SetupDialog::Show() {
  Refresh();
  RECT r;
  GetWindowRect(FHandle, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  SetWindowPos(FHandle, nullptr, (FScreen.Width() - width) / 2, (FScreen.Height() - height) / 2, 0,
               0, SWP_NOSIZE | SWP_NOZORDER);
  FApplication.SetDialogWindow(FHandle);
  ShowWindow(FHandle, SW_SHOW);
  SetForegroundWindow(FHandle);
  if (HWND first = FItems[Index(TSetupItem::siMute)]) SetFocus(first);
}

void TWin32SetupDialog::Close() {
  if (!FHandle) return;
  HWND handle = FHandle;
  FHandle = nullptr;
  FApplication.SetDialogWindow(nullptr);
  SetWindowLongPtrA(handle, GWLP_USERDATA, 0);
  for (TSetupItem link : {TSetupItem::siEmail, TSetupItem::siWeb}) {
    HWND control = FItems[Index(link)];
    if (!control || !FStaticProc) continue;
    SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FStaticProc));
    SetWindowLongPtrA(control, GWLP_USERDATA, 0);
  }
  FItems.fill(nullptr);
  DestroyWindow(handle);
}

bool TWin32SetupDialog::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(FHandle, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, FBackground.Get());
      result = 1;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      const HWND control = reinterpret_cast<HWND>(lParam);
      SetBkMode(dc, TRANSPARENT);
      const bool link = control == FItems[Index(TSetupItem::siEmail)] ||
                        control == FItems[Index(TSetupItem::siWeb)];
      SetTextColor(dc, link ? kLinkColor : GetSysColor(COLOR_WINDOWTEXT));
      result = reinterpret_cast<LRESULT>(FBackground.Get());
      return true;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      if (id == IDOK) {
        FModel.ClickOK();
        return true;
      }
      for (size_t i = 0; i < SetupItemCount; ++i) {
        const auto item = static_cast<TSetupItem>(i);
        if (id != ItemId(item)) continue;
        if (IsCheckBox(item) && code == BN_CLICKED) {
          FModel.ClickCheckBox(item);
          Refresh();
          return true;
        }
        if (IsLink(item) && code == STN_CLICKED) {
          FModel.ClickLink(item);
          return true;
        }
      }
      return id == IDCANCEL;  // Esc: the dialog has no cancel button
    }
    case WM_CLOSE:
      FModel.CloseRequest();
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK TWin32SetupDialog::LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TWin32SetupDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  const WNDPROC original = self->FStaticProc;
  const TSetupItem item =
      hwnd == self->FItems[Index(TSetupItem::siEmail)] ? TSetupItem::siEmail : TSetupItem::siWeb;
  bool handled = false;
  LRESULT result = 0;
  self->FApplication.Guard([&] {
    switch (msg) {
      case WM_MOUSEMOVE:
        if (!self->FHot[Index(item)]) {
          self->FHot[Index(item)] = true;
          TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
          TrackMouseEvent(&track);
          self->FModel.LinkMouseEnter(item);
        }
        break;
      case WM_MOUSELEAVE:
        self->FHot[Index(item)] = false;
        self->FModel.LinkMouseLeave(item);
        break;
      case WM_SETCURSOR:
        if (self->FScreen.ApplyCursor()) {
          result = TRUE;
          handled = true;
        }
        break;
      default:
        break;
    }
  });
  if (handled) return result;
  return CallWindowProcA(original, hwnd, msg, wParam, lParam);
}

}  // namespace tovrin
