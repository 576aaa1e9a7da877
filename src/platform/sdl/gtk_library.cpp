#include "platform/sdl/gtk_library.h"

#include "platform/common/shared_libraries.h"

namespace tovrin {

namespace {

struct TLoaded {
  // GTK 3 first: the others are its own dependencies and come with it; they are named so that
  // each function is looked up where it is defined. Global, as when linked: the modules GTK loads
  // itself (input methods, themes, image loaders) may expect its symbols in the global scope.
  TSharedLibraries Libraries{{"libgtk-3.so.0", "libgdk-3.so.0", "libpango-1.0.so.0",
                              "libgobject-2.0.so.0", "libglib-2.0.so.0", "libX11.so.6"},
                             TSharedLibraries::TScope::sGlobal,
                             "GTK"};
  TGtkLibrary Functions;

  TLoaded() {
#define TOVRIN_GTK_FIND(name) Libraries.Find(Functions.name, #name);
    TOVRIN_GTK_FUNCTIONS(TOVRIN_GTK_FIND)
#undef TOVRIN_GTK_FIND
  }
};

}  // namespace

const TGtkLibrary& Gtk() {
  // Loaded once for the process; a failed load raises and is tried again by the next call. GTK
  // keeps threads, type registrations and handlers that outlive every dialog, so it stays.
  static const TLoaded loaded;
  return loaded.Functions;
}

bool IsInstanceOf(gpointer instance, GType type) {
  return instance != nullptr &&
         Gtk().g_type_check_instance_is_a(static_cast<GTypeInstance*>(instance), type) != FALSE;
}

gulong ConnectSignal(gpointer instance, const char* signal, GCallback handler, gpointer data) {
  return Gtk().g_signal_connect_data(instance, signal, handler, data, nullptr,
                                     static_cast<GConnectFlags>(0));
}

}  // namespace tovrin
