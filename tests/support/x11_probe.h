// TX11Probe: a test's own connection to the X server, to read back what programs drew, to make
// windows for them to draw into, and to see which windows exist.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gfx/color.h"

namespace tovrin {

class TX11Probe {
 public:
  TX11Probe() : FConnection(xcb_connect(nullptr, nullptr)) {
    if (!xcb_connection_has_error(FConnection)) {
      FScreen = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data;
    }
  }
  ~TX11Probe() { xcb_disconnect(FConnection); }
  TX11Probe(const TX11Probe&) = delete;
  TX11Probe& operator=(const TX11Probe&) = delete;

  bool Ok() const { return FScreen != nullptr; }
  xcb_connection_t* Connection() { return FConnection; }
  uint32_t Root() const { return FScreen->root; }

  // The colour at (x, y) of a window (or the root), -1 when it cannot be read.
  TColor Pixel(uint32_t drawable, int x, int y) {
    const auto cookie =
        xcb_get_image(FConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, drawable, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), 1, 1, 0xFFFFFFFF);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(FConnection, cookie, nullptr);
    if (!reply) return -1;
    const uint8_t* p = xcb_get_image_data(reply);
    const TColor c = RGB(p[2], p[1], p[0]);
    std::free(reply);
    return c;
  }

  // A mapped window of the test's own at (x, y) with the given size, black or of the given
  // colour (0xRRGGBB on the usual 24-bit TrueColor screen).
  uint32_t CreateWindow(int x, int y, int w, int h, uint32_t rgb = 0) {
    const uint32_t window = xcb_generate_id(FConnection);
    const uint32_t values[] = {rgb == 0 ? FScreen->black_pixel : rgb};
    xcb_create_window(FConnection, XCB_COPY_FROM_PARENT, window, Root(), static_cast<int16_t>(x),
                      static_cast<int16_t>(y), static_cast<uint16_t>(w), static_cast<uint16_t>(h),
                      0, XCB_WINDOW_CLASS_INPUT_OUTPUT, FScreen->root_visual, XCB_CW_BACK_PIXEL,
                      values);
    xcb_map_window(FConnection, window);
    Sync();
    return window;
  }
  void Unmap(uint32_t window) {
    xcb_unmap_window(FConnection, window);
    Sync();
  }
  void Destroy(uint32_t window) {
    xcb_destroy_window(FConnection, window);
    Sync();
  }

  struct TTopWindow {
    uint32_t Window;
    int Width;
    int Height;
  };
  // The mapped children of the root window, bottom first.
  std::vector<TTopWindow> MappedTopWindows() {
    std::vector<TTopWindow> result;
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(FConnection, xcb_query_tree(FConnection, Root()), nullptr);
    if (!tree) return result;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i) {
      xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(
          FConnection, xcb_get_window_attributes(FConnection, children[i]), nullptr);
      xcb_get_geometry_reply_t* g =
          xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, children[i]), nullptr);
      if (a && g && a->map_state == XCB_MAP_STATE_VIEWABLE) {
        result.push_back(TTopWindow{children[i], g->width, g->height});
      }
      std::free(a);
      std::free(g);
    }
    std::free(tree);
    return result;
  }

  // The mapped top-level windows that say they are dialogs (_NET_WM_WINDOW_TYPE_DIALOG).
  std::vector<TTopWindow> Dialogs() {
    std::vector<TTopWindow> result;
    const xcb_atom_t type = Atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t dialog = Atom("_NET_WM_WINDOW_TYPE_DIALOG");
    for (const TTopWindow& w : MappedTopWindows()) {
      xcb_get_property_reply_t* p = xcb_get_property_reply(
          FConnection, xcb_get_property(FConnection, 0, w.Window, type, XCB_ATOM_ATOM, 0, 16),
          nullptr);
      if (!p) continue;
      const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(p));
      const int n = xcb_get_property_value_length(p) / 4;
      for (int i = 0; i < n; ++i) {
        if (atoms[i] == dialog) result.push_back(w);
      }
      std::free(p);
    }
    return result;
  }
  // The first mapped top-level window whose WM_NAME is name; 0 when there is none.
  uint32_t TopWindowNamed(const std::string& name) {
    for (const TTopWindow& w : MappedTopWindows()) {
      xcb_get_property_reply_t* p = xcb_get_property_reply(
          FConnection,
          xcb_get_property(FConnection, 0, w.Window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 64),
          nullptr);
      if (!p) continue;
      const std::string value(static_cast<const char*>(xcb_get_property_value(p)),
                              static_cast<size_t>(xcb_get_property_value_length(p)));
      std::free(p);
      if (value == name) return w.Window;
    }
    return 0;
  }
  // The first 32-bit value of a window's property name; 0 when it has none.
  uint32_t Property32(uint32_t window, const char* name) {
    xcb_get_property_reply_t* p = xcb_get_property_reply(
        FConnection, xcb_get_property(FConnection, 0, window, Atom(name), XCB_ATOM_ANY, 0, 1),
        nullptr);
    if (!p) return 0;
    uint32_t value = 0;
    if (p->format == 32 && xcb_get_property_value_length(p) >= 4) {
      std::memcpy(&value, xcb_get_property_value(p), 4);
    }
    std::free(p);
    return value;
  }
  // Gives window the keyboard, as a window manager or any program may.
  void Focus(uint32_t window) {
    xcb_set_input_focus(FConnection, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    Sync();
  }
  // Where a window's top-left corner lies on the screen.
  std::pair<int, int> ScreenPosition(uint32_t window) {
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        FConnection, xcb_translate_coordinates(FConnection, window, Root(), 0, 0), nullptr);
    std::pair<int, int> result{0, 0};
    if (at) result = {at->dst_x, at->dst_y};
    std::free(at);
    return result;
  }

  // Waits until the server has handled everything sent so far.
  void Sync() {
    std::free(xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
  }

 private:
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        FConnection,
        xcb_intern_atom(FConnection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(r);
    return atom;
  }

  xcb_connection_t* FConnection;
  const xcb_screen_t* FScreen = nullptr;
};

}  // namespace tovrin
