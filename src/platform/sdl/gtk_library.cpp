#include "platform/sdl/gtk_library.h"

#include <dlfcn.h>

#include <array>
#include <string>

#include "core/errors.h"

namespace tovrin {

namespace {

// GTK 3 first: the others are its own dependencies and come with it; they are named so that each
// function is looked up where it is defined.
constexpr std::array<const char*, 6> kLibraries{
    "libgtk-3.so.0",       "libgdk-3.so.0",    "libpango-1.0.so.0",
    "libgobject-2.0.so.0", "libglib-2.0.so.0", "libX11.so.6",
};

struct TLoaded {
  std::array<void*, kLibraries.size()> Handles{};
  TGtkLibrary Functions;
};

void* Find(const TLoaded& loaded, const char* name) {
  for (void* handle : loaded.Handles) {
    if (void* p = dlsym(handle, name)) return p;
  }
  throw Exception(std::string("The GTK libraries lack ") + name);
}

TLoaded Load() {
  TLoaded loaded;
  for (size_t i = 0; i < kLibraries.size(); ++i) {
    // Global, as when linked: the modules GTK loads itself (input methods, themes, image loaders)
    // may expect its symbols in the global scope. Never closed: GTK keeps threads, type
    // registrations and handlers that outlive every dialog.
    loaded.Handles[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_GLOBAL);
    if (!loaded.Handles[i]) {
      throw Exception(std::string("Cannot load the GTK library ") + kLibraries[i]);
    }
  }
#define TOVRIN_GTK_FIND(name) \
  loaded.Functions.name = reinterpret_cast<decltype(&::name)>(Find(loaded, #name));
  TOVRIN_GTK_FUNCTIONS(TOVRIN_GTK_FIND)
#undef TOVRIN_GTK_FIND
  return loaded;
}

}  // namespace

const TGtkLibrary& Gtk() {
  // Loaded once for the process; a failed load raises and is tried again by the next call.
  static const TLoaded loaded = Load();
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
