#include "platform/sdl/gtk_toolkit.h"

#include <gtk/gtk.h>

#include "core/errors.h"

namespace tovrin {

TGtkToolkit::TGtkToolkit(TSdlApplication& application) : FApplication(application) {
  if (!gtk_init_check(nullptr, nullptr)) throw Exception("Cannot open the display");
  FSource = std::make_unique<TGlibLoopSource>(application);
}

}  // namespace tovrin
