// TX11MonitorWatch: tells, from the message loop, that the desk's monitors have changed.
//
// The X server sends the display connection an event when the screen changes size or its
// monitors change (TX11Connection::WatchScreenChanges). The loop waits on the connection's
// descriptor beside its other sources, so a desk that does not change costs no wake-up at all.
// A new layout comes as a burst of events (set output by output, monitor by monitor): the
// monitors are read again SettleMs after the first event of a burst, and OnChanged is posted to
// the application's queue only when they differ from the list read before.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/screen.h"
#include "platform/sdl/sdl_application.h"
#include "platform/sdl/x11_connection.h"

namespace tovrin {

class TX11MonitorWatch final : public TLoopSource {
 public:
  static constexpr uint32_t SettleMs = 100;

  // Starts watching connection's screen and reads its monitors; the watch is one of
  // application's loop sources for its life.
  TX11MonitorWatch(TSdlApplication& application, TX11Connection& connection,
                   std::function<void()> onChanged);
  ~TX11MonitorWatch() override;
  TX11MonitorWatch(const TX11MonitorWatch&) = delete;
  TX11MonitorWatch& operator=(const TX11MonitorWatch&) = delete;

  // The monitors as last read (primary first).
  const std::vector<TMonitor>& Monitors() const { return FMonitors; }

  // TLoopSource
  uint32_t Prepare(std::vector<pollfd>& fds) override;
  bool Check(const pollfd* fds, size_t count, bool dispatch) override;

 private:
  // Takes the events that have arrived; the first change of a burst starts the settle time.
  void Collect();

  TSdlApplication& FApplication;
  TX11Connection& FConnection;
  const std::function<void()> FOnChanged;
  std::vector<TMonitor> FMonitors;
  bool FSettling = false;
  uint32_t FDue = 0;  // tick count at which a settling burst is read
};

}  // namespace tovrin
