// The back end's window classes, and the tie between a window and the object that handles it.
//
// Each window the back end creates belongs to an object: the object's address is the creation
// parameter of CreateWindowExA, which the window procedure keeps in GWLP_USERDATA from
// WM_NCCREATE on. An object unties its window (GWLP_USERDATA set to 0) before it destroys the
// window, so that the messages of the destruction find no object and go to DefWindowProc.
#pragma once

#include "platform/win32/win32_api.h"

#include "platform/win32/win32_application.h"

namespace tovrin {

// Registers the window class name of this program: proc its window procedure, style its class
// style, cursor its cursor (nullptr: none). A second registration of a name fails harmlessly:
// the class is there already.
void RegisterWindowClass(HINSTANCE instance, const char* name, WNDPROC proc, UINT style,
                         HCURSOR cursor);

// For a window procedure: the object hwnd belongs to (taken from the creation parameter when msg
// is WM_NCCREATE); nullptr before WM_NCCREATE and once the window has been untied.
void* WindowObject(HWND hwnd, UINT msg, LPARAM lParam);

// The window procedure of a window whose object T handles its messages in
//   bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result)
// (false: DefWindowProc handles the message) through its application's Guard (a member
// TWin32Application& FApplication), so that no exception crosses into the system. The handler
// may destroy the object: nothing of it is touched after the call. T declares this function a
// friend.
template <typename T>
LRESULT CALLBACK GuardedWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* self = static_cast<T*>(WindowObject(hwnd, msg, lParam))) {
    LRESULT result = 0;
    bool handled = false;
    TWin32Application& application = self->FApplication;
    application.Guard([&] { handled = self->OnMessage(msg, wParam, lParam, result); });
    if (handled) return result;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace tovrin
