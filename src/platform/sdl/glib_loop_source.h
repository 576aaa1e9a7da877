// TGlibLoopSource: GLib's default main context (GTK's events and timers) run from the
// application's own loop: its descriptors join the loop's wait, and its sources are
// dispatched from ProcessMessages like any other event.
#pragma once

#include <glib.h>

#include <vector>

#include "platform/sdl/sdl_application.h"

namespace tovrin {

class TGlibLoopSource final : public TLoopSource {
 public:
  // Registers itself with application for its life.
  explicit TGlibLoopSource(TSdlApplication& application);
  ~TGlibLoopSource() override;
  TGlibLoopSource(const TGlibLoopSource&) = delete;
  TGlibLoopSource& operator=(const TGlibLoopSource&) = delete;

  uint32_t Prepare(std::vector<pollfd>& fds) override;
  bool Check(const pollfd* fds, size_t count, bool dispatch) override;

 private:
  TSdlApplication& FApplication;
  GMainContext* FContext;
  bool FOwner = false;
  std::vector<GPollFD> FFds;
  gint FCount = 0;
  gint FPriority = 0;
  bool FPrepared = false;
};

}  // namespace tovrin
