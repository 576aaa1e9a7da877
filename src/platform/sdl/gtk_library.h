// TGtkLibrary: the functions of GTK 3 (and of GDK, GLib, Pango and Xlib under it) the back end's
// dialogs call, looked up when the first dialog or message box is needed.
//
// GTK is loaded at run time rather than with the program: with Pango, cairo, HarfBuzz and the
// rest it brings some thirty shared libraries whose loading and relocation every show would
// otherwise pay before its first picture, though a show opens no dialog at all. The declarations
// still come from GTK's headers, so each pointer has the type the header gives (a changed
// signature fails to compile). The code that uses it is compiled with G_DISABLE_CAST_CHECKS:
// GTK's cast macros (GTK_WINDOW, G_OBJECT, ...) are then plain casts rather than calls into
// GObject. Type tests and signal connections go through IsInstanceOf and ConnectSignal below.
#pragma once

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

namespace tovrin {

// Every function the dialog code calls, by its name in the libraries.
#define TOVRIN_GTK_FUNCTIONS(X)                \
  X(XGetWindowAttributes)                      \
  X(XSetInputFocus)                            \
  X(g_main_context_acquire)                    \
  X(g_main_context_check)                      \
  X(g_main_context_default)                    \
  X(g_main_context_dispatch)                   \
  X(g_main_context_prepare)                    \
  X(g_main_context_query)                      \
  X(g_main_context_release)                    \
  X(g_object_get_data)                         \
  X(g_object_set_data)                         \
  X(g_object_unref)                            \
  X(g_signal_connect_data)                     \
  X(g_type_check_instance_is_a)                \
  X(gdk_cursor_new_from_name)                  \
  X(gdk_display_get_default)                   \
  X(gdk_screen_get_default)                    \
  X(gdk_window_focus)                          \
  X(gdk_window_get_display)                    \
  X(gdk_window_raise)                          \
  X(gdk_window_set_cursor)                     \
  X(gdk_window_set_override_redirect)          \
  X(gdk_x11_display_error_trap_pop_ignored)    \
  X(gdk_x11_display_error_trap_push)           \
  X(gdk_x11_display_get_type)                  \
  X(gdk_x11_display_get_xdisplay)              \
  X(gdk_x11_window_get_type)                   \
  X(gdk_x11_window_get_xid)                    \
  X(gtk_button_new_with_mnemonic)              \
  X(gtk_button_set_label)                      \
  X(gtk_check_button_new_with_label)           \
  X(gtk_container_add)                         \
  X(gtk_css_provider_load_from_data)           \
  X(gtk_css_provider_new)                      \
  X(gtk_dialog_set_default_response)           \
  X(gtk_event_box_new)                         \
  X(gtk_fixed_new)                             \
  X(gtk_fixed_put)                             \
  X(gtk_init_check)                            \
  X(gtk_label_new)                             \
  X(gtk_label_set_attributes)                  \
  X(gtk_label_set_text)                        \
  X(gtk_message_dialog_new)                    \
  X(gtk_style_context_add_class)               \
  X(gtk_style_context_add_provider_for_screen) \
  X(gtk_toggle_button_set_active)              \
  X(gtk_true)                                  \
  X(gtk_widget_add_events)                     \
  X(gtk_widget_destroy)                        \
  X(gtk_widget_get_style_context)              \
  X(gtk_widget_get_window)                     \
  X(gtk_widget_grab_focus)                     \
  X(gtk_widget_hide)                           \
  X(gtk_widget_realize)                        \
  X(gtk_widget_set_can_default)                \
  X(gtk_widget_set_size_request)               \
  X(gtk_widget_show_all)                       \
  X(gtk_window_new)                            \
  X(gtk_window_present)                        \
  X(gtk_window_set_default)                    \
  X(gtk_window_set_keep_above)                 \
  X(gtk_window_set_position)                   \
  X(gtk_window_set_resizable)                  \
  X(gtk_window_set_title)                      \
  X(gtk_window_set_type_hint)                  \
  X(pango_attr_foreground_new)                 \
  X(pango_attr_list_insert)                    \
  X(pango_attr_list_new)                       \
  X(pango_attr_list_unref)                     \
  X(pango_attr_underline_new)

struct TGtkLibrary {
#define TOVRIN_GTK_POINTER(name) decltype(&::name) name = nullptr;
  TOVRIN_GTK_FUNCTIONS(TOVRIN_GTK_POINTER)
#undef TOVRIN_GTK_POINTER
};

// The libraries' functions, loaded on the first call (the libraries then stay for the process's
// life: GTK cannot be shut down once started). Raises Exception naming what is missing when a
// library or a function cannot be found; the next call tries again. Thread-safe.
const TGtkLibrary& Gtk();

// Whether instance is of type or derives from it (what GTK's *_IS_* macros test).
bool IsInstanceOf(gpointer instance, GType type);

// Connects handler to the signal of instance (what g_signal_connect does).
gulong ConnectSignal(gpointer instance, const char* signal, GCallback handler, gpointer data);

}  // namespace tovrin
