#include "e2e_screen.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "e2e_process.h"
#include "screen_capture.h"

namespace fs = std::filesystem;

namespace tovrin::test {

bool WaitForScreen(const TRect& area, const TBitmap& expected, uint32_t ms) {
  for (uint32_t waited = 0;; waited += 100) {
    if (MaxChannelDifference(CaptureScreen(area), expected) <= 2) return true;
    if (waited >= ms) return false;
    PumpFor(100);
  }
}

void KeepScreenshot(const std::string& name, const TRect& area) {
  const char* dir = std::getenv("TOVRIN_SHOTS_DIR");
  const fs::path folder = dir ? fs::path(WindowsPath(dir)) : fs::current_path() / "shots";
  fs::create_directories(folder);
  const std::string path = (folder / (name + ".bmp")).string();
  if (SaveBmp(CaptureScreen(area), path)) std::printf("screenshot: %s\n", path.c_str());
}

}  // namespace tovrin::test
