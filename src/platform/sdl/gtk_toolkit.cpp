#include "platform/sdl/gtk_toolkit.h"

#include "core/errors.h"
#include "platform/sdl/gtk_library.h"

namespace tovrin {

TGtkToolkit::TGtkToolkit(TSdlApplication& application) : FApplication(application) {
  if (!Gtk().gtk_init_check(nullptr, nullptr)) throw Exception("Cannot open the display");
  FSource = std::make_unique<TGlibLoopSource>(application);
}

}  // namespace tovrin
