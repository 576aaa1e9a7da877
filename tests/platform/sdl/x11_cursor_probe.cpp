#include "x11_cursor_probe.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace tovrin::testing {

bool CursorHidden() {
  ::Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  bool hidden = false;
  if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
    hidden = image->width > 0 && image->height > 0;
    for (int i = 0; i < image->width * image->height; ++i) {
      hidden = hidden && (image->pixels[i] >> 24) == 0;
    }
    XFree(image);
  }
  XCloseDisplay(display);
  return hidden;
}

}  // namespace tovrin::testing
