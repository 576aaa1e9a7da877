// The engine's entry routine, over the platform interfaces: classifies the mode switch, changes
// the password, keeps a single instance, and runs the preview, the setup dialog or the show until
// it ends. Tests run it with the headless back end for every mode and command line.
//
// The static start-up (stream class registration, seeding the process-wide generator) is done
// once per process by InitializeEngine before the first call.
#pragma once

#include <string>

#include "app/saver_mode.h"
#include "platform/platform.h"

namespace tovrin {

// Registers the package's stream classes and seeds the process-wide generator from the time of
// day. Once per process, before RunEntry.
void InitializeEngine();

// What one run of the entry routine decided (for tests; the process ends afterwards in any case).
struct TEntryRun {
  TSaverMode Mode = smShow;
  // A second instance: the run ended at the single-instance check.
  bool SecondInstance = false;
  // An error ended the run; it was dropped without a message.
  bool Failed = false;
};

// Steps after the static start-up: arg1 and arg2 are the first two command-line arguments ("" when
// missing). Every error is caught and dropped; the run then simply ends.
TEntryRun RunEntry(TPlatform& platform, const std::string& arg1, const std::string& arg2);

}  // namespace tovrin
