#include "platform/win32/win32_window_class.h"

namespace tovrin {

void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, UINT style,
                         HCURSOR cursor) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

void* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return reinterpret_cast<void*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace tovrin
