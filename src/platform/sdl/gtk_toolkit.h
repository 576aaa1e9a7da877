// TGtkToolkit: GTK 3 started for the back end's dialogs (the setup dialog, message boxes), with
// GLib's main context served from the application's loop for as long as it lives.
#pragma once

#include <memory>

#include "platform/sdl/glib_loop_source.h"
#include "platform/sdl/sdl_application.h"

namespace tovrin {

class TGtkToolkit {
 public:
  // Raises (Exception) when GTK cannot open the display.
  explicit TGtkToolkit(TSdlApplication& application);
  TSdlApplication& Application() { return FApplication; }

 private:
  TSdlApplication& FApplication;
  std::unique_ptr<TGlibLoopSource> FSource;
};

}  // namespace tovrin
