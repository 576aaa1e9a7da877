#include "platform/sdl/glib_loop_source.h"

#include <algorithm>

#include "platform/sdl/gtk_library.h"

namespace tovrin {

TGlibLoopSource::TGlibLoopSource(TSdlApplication& application)
    : FApplication(application), FContext(Gtk().g_main_context_default()) {
  FOwner = Gtk().g_main_context_acquire(FContext);
  FApplication.AddSource(*this);
}

TGlibLoopSource::~TGlibLoopSource() {
  FApplication.RemoveSource(*this);
  if (FOwner) Gtk().g_main_context_release(FContext);
}

uint32_t TGlibLoopSource::Prepare(std::vector<pollfd>& fds) {
  FPrepared = false;
  if (!FOwner) return TApplication::Infinite;
  const bool ready = Gtk().g_main_context_prepare(FContext, &FPriority);
  gint timeout = -1;
  if (FFds.empty()) FFds.resize(8);
  for (;;) {
    FCount = Gtk().g_main_context_query(FContext, FPriority, &timeout, FFds.data(),
                                        static_cast<gint>(FFds.size()));
    if (FCount <= static_cast<gint>(FFds.size())) break;
    FFds.resize(static_cast<size_t>(FCount));
  }
  for (gint i = 0; i < FCount; ++i) {
    const GPollFD& g = FFds[static_cast<size_t>(i)];
    fds.push_back(pollfd{g.fd, static_cast<short>(g.events), 0});
  }
  FPrepared = true;
  if (ready) return 0;
  return timeout < 0 ? TApplication::Infinite : static_cast<uint32_t>(timeout);
}

bool TGlibLoopSource::Check(const pollfd* fds, size_t count, bool dispatch) {
  if (!FPrepared) return false;
  FPrepared = false;
  const size_t n = std::min(count, static_cast<size_t>(FCount));
  for (size_t i = 0; i < n; ++i) FFds[i].revents = static_cast<gushort>(fds[i].revents);
  const bool ready = Gtk().g_main_context_check(FContext, FPriority, FFds.data(), FCount);
  if (!ready) return false;
  if (!dispatch) return true;
  Gtk().g_main_context_dispatch(FContext);
  return false;
}

}  // namespace tovrin
