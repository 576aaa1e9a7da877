#include "platform/sdl/x11_monitor_watch.h"

namespace tovrin {

TX11MonitorWatch::TX11MonitorWatch(TSdlApplication& application, TX11Connection& connection,
                                   std::function<void()> onChanged)
    : FApplication(application), FConnection(connection), FOnChanged(std::move(onChanged)) {
  // Selected before reading, so that a change made in between is seen as an event.
  FConnection.WatchScreenChanges(true);
  FMonitors = FConnection.Monitors();
  FApplication.AddSource(*this);
}

TX11MonitorWatch::~TX11MonitorWatch() {
  FApplication.RemoveSource(*this);
  FConnection.WatchScreenChanges(false);
}

void TX11MonitorWatch::Collect() {
  if (FConnection.TakeScreenChanges() && !FSettling) {
    FSettling = true;
    FDue = FApplication.TickCount() + SettleMs;
  }
}

uint32_t TX11MonitorWatch::Prepare(std::vector<pollfd>& fds) {
  // Events that other requests' replies brought in are already read off the socket: poll()
  // would not report them.
  Collect();
  fds.push_back(pollfd{FConnection.FileDescriptor(), POLLIN, 0});
  if (!FSettling) return TApplication::Infinite;
  // Tick counts wrap: the difference is read as signed.
  const int32_t left = static_cast<int32_t>(FDue - FApplication.TickCount());
  return left > 0 ? static_cast<uint32_t>(left) : 0;
}

bool TX11MonitorWatch::Check(const pollfd*, size_t, bool) {
  Collect();
  if (!FSettling || static_cast<int32_t>(FApplication.TickCount() - FDue) < 0) return false;
  FSettling = false;
  std::vector<TMonitor> monitors = FConnection.Monitors();
  if (monitors == FMonitors) return false;
  FMonitors = std::move(monitors);
  // Posted, not called: the handler may stop the watch, which must not end inside its own Check.
  FApplication.Post(FOnChanged);
  return false;
}

}  // namespace tovrin
