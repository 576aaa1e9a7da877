#include "platform/video/av_library.h"

#include <dlfcn.h>

#include <array>
#include <memory>
#include <string>

extern "C" {
#include <libavutil/version.h>
}

#include "core/errors.h"

namespace tovrin {

namespace {

#define TOVRIN_AV_SONAME(lib, major) "lib" lib ".so." AV_STRINGIFY(major)

// The libraries the build compiled against; each one's own dependencies come with it.
constexpr std::array<const char*, 5> kLibraries{
    TOVRIN_AV_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR),
    TOVRIN_AV_SONAME("swresample", LIBSWRESAMPLE_VERSION_MAJOR),
    TOVRIN_AV_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR),
    TOVRIN_AV_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR),
    TOVRIN_AV_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR),
};

struct TLoaded {
  std::array<void*, kLibraries.size()> Handles{};
  TAvLibrary Functions;
};

void* Find(const TLoaded& loaded, const char* name) {
  for (void* handle : loaded.Handles) {
    if (void* p = dlsym(handle, name)) return p;
  }
  throw Exception(std::string("The video libraries lack ") + name);
}

TLoaded Load() {
  TLoaded loaded;
  for (size_t i = 0; i < kLibraries.size(); ++i) {
    // Never closed: a library of codecs may have started threads and registered callbacks that
    // outlive any one player, and the system unloads it with the process.
    loaded.Handles[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_LOCAL);
    if (!loaded.Handles[i]) {
      throw Exception(std::string("Cannot load the video library ") + kLibraries[i]);
    }
  }
#define TOVRIN_AV_FIND(name) \
  loaded.Functions.name = reinterpret_cast<decltype(&::name)>(Find(loaded, #name));
  TOVRIN_AV_FUNCTIONS(TOVRIN_AV_FIND)
#undef TOVRIN_AV_FIND
  return loaded;
}

}  // namespace

const TAvLibrary& Av() {
  // Loaded once for the process; a failed load raises and is tried again by the next call.
  static const TLoaded loaded = Load();
  return loaded.Functions;
}

}  // namespace tovrin
