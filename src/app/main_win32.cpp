// The engine's program entry on Windows: the Win32 back end and the entry routine. The process
// ends with status 0 whatever the run decided, as the screen-saver host expects.
#include <string>

#include "app/entry.h"
#include "platform/win32/win32_platform.h"

int main(int argc, char** argv) {
  // Before anything can load a library by name: none is taken from beside the program.
  tovrin::RestrictLibrarySearchToSystemFolder();
  tovrin::InitializeEngine();
  const std::string arg1 = argc > 1 ? argv[1] : "";
  const std::string arg2 = argc > 2 ? argv[2] : "";
  try {
    tovrin::TWin32Platform platform;
    tovrin::RunEntry(platform, arg1, arg2);
  } catch (...) {
    // The back end could not start (no window station, no OLE): nothing to show.
  }
  return 0;
}
