#include "platform/sdl/x11_connection.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <xcb/xinerama.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/errors.h"
#include "platform/sdl/pixel_copy.h"
#include "platform/sdl/x11_monitor_layout.h"

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

int TX11Connection::RandrVersion() {
  if (!FRandrVersion) {
    FRandrVersion = 0;
    const xcb_query_extension_reply_t* extension =
        xcb_get_extension_data(FConnection, &xcb_randr_id);
    if (extension && extension->present) {
      TReply version(xcb_randr_query_version_reply(
          FConnection, xcb_randr_query_version(FConnection, 1, 5), nullptr));
      if (version) {
        FRandrVersion = static_cast<int>(version->major_version * 100 + version->minor_version);
        FRandrFirstEvent = extension->first_event;
      }
    }
  }
  return *FRandrVersion;
}

std::vector<TMonitor> TX11Connection::Monitors() {
  // The questions go out together; each answer is waited for once.
  const auto rootCookie = xcb_get_geometry(FConnection, FRoot);
  const bool randr = RandrVersion() >= 105;
  xcb_randr_get_monitors_cookie_t monitorsCookie{};
  if (randr) monitorsCookie = xcb_randr_get_monitors(FConnection, FRoot, 1);
  TReply rootGeometry(xcb_get_geometry_reply(FConnection, rootCookie, nullptr));
  const TRect root =
      rootGeometry ? TRect{0, 0, rootGeometry->width, rootGeometry->height} : TRect{};

  std::vector<TReportedMonitor> reported;
  if (randr) {
    TReply reply(xcb_randr_get_monitors_reply(FConnection, monitorsCookie, nullptr));
    if (reply) {
      for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.Ptr); it.rem > 0;
           xcb_randr_monitor_info_next(&it)) {
        const xcb_randr_monitor_info_t& m = *it.data;
        reported.push_back(
            TReportedMonitor{TRect{m.x, m.y, m.x + m.width, m.y + m.height}, m.primary != 0});
      }
    }
  }
  std::vector<TRect> screens;
  const xcb_query_extension_reply_t* xinerama =
      xcb_get_extension_data(FConnection, &xcb_xinerama_id);
  if (reported.empty() && xinerama && xinerama->present) {
    TReply active(
        xcb_xinerama_is_active_reply(FConnection, xcb_xinerama_is_active(FConnection), nullptr));
    if (active && active->state) {
      TReply reply(xcb_xinerama_query_screens_reply(
          FConnection, xcb_xinerama_query_screens(FConnection), nullptr));
      if (reply) {
        for (auto it = xcb_xinerama_query_screens_screen_info_iterator(reply.Ptr); it.rem > 0;
             xcb_xinerama_screen_info_next(&it)) {
          const xcb_xinerama_screen_info_t& s = *it.data;
          screens.push_back(TRect{s.x_org, s.y_org, s.x_org + s.width, s.y_org + s.height});
        }
      }
    }
  }
  return MonitorLayout(reported, screens, root);
}

void TX11Connection::WatchScreenChanges(bool on) {
  // The root's ConfigureNotify comes with a new screen size, and also when a client sets or
  // deletes a RandR monitor (which sends no RandR event).
  const uint32_t mask = on ? XCB_EVENT_MASK_STRUCTURE_NOTIFY : 0;
  xcb_change_window_attributes(FConnection, FRoot, XCB_CW_EVENT_MASK, &mask);
  const int version = RandrVersion();
  if (version > 0) {
    uint16_t randrMask = 0;
    if (on) {
      randrMask = XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE;
      if (version >= 102) {
        randrMask |= XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE | XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE;
      }
    }
    xcb_randr_select_input(FConnection, FRoot, randrMask);
  }
  xcb_flush(FConnection);
}

int TX11Connection::FileDescriptor() const {
  return xcb_get_file_descriptor(FConnection);
}

bool TX11Connection::TakeScreenChanges() {
  bool changed = false;
  while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
    TReply owned(event);
    const uint8_t type = event->response_type & 0x7F;
    if (type == XCB_CONFIGURE_NOTIFY) {
      const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      changed = changed || configure->window == FRoot;
    } else if (FRandrFirstEvent != 0 &&
               (type == FRandrFirstEvent + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                type == FRandrFirstEvent + XCB_RANDR_NOTIFY)) {
      changed = true;
    }
    // Anything else (errors of requests whose replies were read without asking for them) is
    // dropped.
  }
  return changed;
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
