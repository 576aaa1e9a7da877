// THandlerGuard: how a part of the show runs a handler it installs (a timer's tick, a player's
// notification). TfrmScrn gives each part its error boundary, so that whichever part raises, an
// error ends in the show's error report and a halt unwinds quietly.
#pragma once

#include <functional>

namespace tovrin {

using THandlerGuard = std::function<void(const std::function<void()>& handler)>;

}  // namespace tovrin
