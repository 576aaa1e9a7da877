#include "core/memory_policy.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tovrin {

void ReturnLargeBlocksToSystem() {
#if defined(__GLIBC__)
  // 1 MiB: a row buffer stays on the heap, a bitmap of a few hundred pixels square does not.
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
#endif
}

}  // namespace tovrin
