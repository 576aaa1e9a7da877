// The setup dialog's control captions before the package is read: the design captions, which
// the language file may replace.
#pragma once

#include <array>
#include <string>

#include "setup/setup_layout.h"

namespace tovrin {

// Captions indexed by TSetupItem.
using TSetupCaptions = std::array<std::string, SetupItemCount>;

// "Title:", "Author:", "Mute music", "Pictures on every monitor", "Email:", "Web address:", "&Ok".
TSetupCaptions DesignCaptions();

// When fileName exists, sets all seven captions from its section "Language" (keys Title, Author,
// MuteMusic, EveryMonitor, Email, Web, btnOK), a missing key giving that caption's default ("OK"
// for the button, the design caption for the others), and returns true. Returns false and leaves
// the captions alone when there is no such file.
bool ApplyLanguageFile(const std::string& fileName, TSetupCaptions& captions);

}  // namespace tovrin
