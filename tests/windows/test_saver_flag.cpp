// Reads or sets the system's screen-saver-running flag from a process of its own, for the
// end-to-end tests: under Wine a process that has read or set the flag keeps its own copy, so
// the test driver must not ask itself.
//
//   test_saver_flag        exit status 1 when the flag is set, 0 when not
//   test_saver_flag 0|1    sets it
#include "windows_api.h"

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc > 1) {
    BYTE scratch[4] = {};
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, std::atoi(argv[1]) ? 1 : 0, scratch, 0);
    return 0;
  }
  BOOL running = FALSE;
  SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
  return running ? 1 : 0;
}
