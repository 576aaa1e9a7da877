#include "platform/sdl/x11_connection.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/errors.h"
#include "platform/sdl/pixel_copy.h"

namespace tovrin {

namespace {

// Frees an XCB reply when it goes out of scope.
template <typename T>
struct TReply {
  T* Ptr = nullptr;
  explicit TReply(T* p) : Ptr(p) {}
  ~TReply() { std::free(Ptr); }
  TReply(const TReply&) = delete;
  TReply& operator=(const TReply&) = delete;
  T* operator->() const { return Ptr; }
  explicit operator bool() const { return Ptr != nullptr; }
};

}  // namespace

TX11Connection::TX11Connection() {
  int screenNumber = 0;
  FConnection = xcb_connect(nullptr, &screenNumber);
  if (xcb_connection_has_error(FConnection)) {
    xcb_disconnect(FConnection);
    FConnection = nullptr;
    throw Exception("Cannot open the display");
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(FConnection));
  for (int i = 0; i < screenNumber && it.rem > 0; ++i) xcb_screen_next(&it);
  if (it.rem > 0) {
    FRoot = it.data->root;
    FRootVisual = it.data->root_visual;
  }
}

TX11Connection::~TX11Connection() {
  if (FConnection) xcb_disconnect(FConnection);
}

TX11Connection::TWindowState TX11Connection::WindowState(uint32_t window) {
  TWindowState state;
  const auto attrCookie = xcb_get_window_attributes(FConnection, window);
  const auto geomCookie = xcb_get_geometry(FConnection, window);
  const auto whereCookie = xcb_translate_coordinates(FConnection, window, FRoot, 0, 0);
  TReply attributes(xcb_get_window_attributes_reply(FConnection, attrCookie, nullptr));
  TReply geometry(xcb_get_geometry_reply(FConnection, geomCookie, nullptr));
  TReply where(xcb_translate_coordinates_reply(FConnection, whereCookie, nullptr));
  if (!attributes || !geometry) return state;
  state.Exists = true;
  state.Viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
  const int32_t left = where ? where->dst_x : geometry->x;
  const int32_t top = where ? where->dst_y : geometry->y;
  state.ScreenRect = TRect{left, top, left + geometry->width, top + geometry->height};
  return state;
}

void TX11Connection::Draw(uint32_t window, int32_t x, int32_t y, const TBitmap& bitmap) {
  const auto geomCookie = xcb_get_geometry(FConnection, window);
  TReply geometry(xcb_get_geometry_reply(FConnection, geomCookie, nullptr));
  if (!geometry || geometry->depth != 24) return;
  const TRect area = IntersectRect(TRect{x, y, x + bitmap.Width(), y + bitmap.Height()},
                                   TRect{0, 0, geometry->width, geometry->height});
  if (area.IsEmpty()) return;
  // Depth 24 is sent as 32 bits a pixel (B, G, R, unused) on every server we meet; check it.
  const xcb_setup_t* setup = xcb_get_setup(FConnection);
  bool thirtyTwo = false;
  for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
    if (f.data->depth == 24) thirtyTwo = f.data->bits_per_pixel == 32;
  }
  if (!thirtyTwo || setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return;

  const xcb_gcontext_t gc = xcb_generate_id(FConnection);
  xcb_create_gc(FConnection, gc, window, 0, nullptr);
  const int32_t width = area.Width();
  const size_t pitch = 4 * static_cast<size_t>(width);
  // Requests are limited in size: send bands of rows that fit.
  const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(FConnection)) * 4;
  const size_t rowsPerBand = std::max<size_t>(1, (maxBytes - 64) / pitch);
  std::vector<uint8_t> band;
  for (int32_t top = area.Top; top < area.Bottom;) {
    const int32_t rows =
        static_cast<int32_t>(std::min<size_t>(rowsPerBand, static_cast<size_t>(area.Bottom - top)));
    band.resize(pitch * static_cast<size_t>(rows));
    CopyToXrgb32(bitmap, area.Left - x, top - y, width, rows, band.data(), pitch);
    xcb_put_image(FConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc, static_cast<uint16_t>(width),
                  static_cast<uint16_t>(rows), static_cast<int16_t>(area.Left),
                  static_cast<int16_t>(top), 0, 24, static_cast<uint32_t>(band.size()),
                  band.data());
    top += rows;
  }
  xcb_free_gc(FConnection, gc);
  // Wait until the server has taken it all, so that what follows sees the picture drawn.
  const auto sync = xcb_get_input_focus(FConnection);
  std::free(xcb_get_input_focus_reply(FConnection, sync, nullptr));
}

int32_t TX11Connection::XftDpi() {
  const auto cookie = xcb_get_property(FConnection, 0, FRoot, XCB_ATOM_RESOURCE_MANAGER,
                                       XCB_ATOM_STRING, 0, 1 << 16);
  TReply reply(xcb_get_property_reply(FConnection, cookie, nullptr));
  if (!reply) return 0;
  const int length = xcb_get_property_value_length(reply.Ptr);
  const char* value = static_cast<const char*>(xcb_get_property_value(reply.Ptr));
  return ParseXftDpi(std::string(value, static_cast<size_t>(std::max(0, length))));
}

int32_t ParseXftDpi(const std::string& resources) {
  size_t pos = 0;
  while (pos < resources.size()) {
    size_t end = resources.find('\n', pos);
    if (end == std::string::npos) end = resources.size();
    const std::string line = resources.substr(pos, end - pos);
    pos = end + 1;
    static constexpr char Key[] = "Xft.dpi:";
    if (line.compare(0, sizeof Key - 1, Key) != 0) continue;
    const char* p = line.c_str() + sizeof Key - 1;
    while (*p == ' ' || *p == '\t') ++p;
    char* stop = nullptr;
    const double dpi = std::strtod(p, &stop);
    if (stop == p || !(dpi >= 1 && dpi < 10000)) return 0;
    return static_cast<int32_t>(dpi + 0.5);
  }
  return 0;
}

}  // namespace tovrin
