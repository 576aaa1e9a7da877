#include "platform/video/av_library.h"

extern "C" {
#include <libavutil/version.h>
}

#include "platform/common/shared_libraries.h"

namespace tovrin {

namespace {

// The libraries the build compiled against, by soname; each one's own dependencies come with it.
#define TOVRIN_AV_SONAME(lib, major) "lib" lib ".so." AV_STRINGIFY(major)

struct TLoaded {
  // Local: FFmpeg's libraries need nothing of ours. Never unmapped: a library of codecs may have
  // started threads and registered callbacks that outlive any one player.
  TSharedLibraries Libraries{{TOVRIN_AV_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR),
                              TOVRIN_AV_SONAME("swresample", LIBSWRESAMPLE_VERSION_MAJOR),
                              TOVRIN_AV_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR),
                              TOVRIN_AV_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR),
                              TOVRIN_AV_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR)},
                             TSharedLibraries::TScope::sLocal,
                             "video"};
  TAvLibrary Functions;

  TLoaded() {
#define TOVRIN_AV_FIND(name) Libraries.Find(Functions.name, #name);
    TOVRIN_AV_FUNCTIONS(TOVRIN_AV_FIND)
#undef TOVRIN_AV_FIND
  }
};

}  // namespace

const TAvLibrary& Av() {
  // Loaded once for the process; a failed load raises and is tried again by the next call.
  static const TLoaded loaded;
  return loaded.Functions;
}

}  // namespace tovrin
