// Av() for a build that links FFmpeg's libraries statically (the Windows engine): the table holds
// the addresses of the linked functions, so nothing is loaded at run time and no library is
// looked for beside the program.
#include "platform/video/av_library.h"

namespace tovrin {

const TAvLibrary& Av() {
  static const TAvLibrary functions = [] {
    TAvLibrary linked;
#define TOVRIN_AV_LINK(name) linked.name = &::name;
    TOVRIN_AV_FUNCTIONS(TOVRIN_AV_LINK)
#undef TOVRIN_AV_LINK
    return linked;
  }();
  return functions;
}

}  // namespace tovrin
