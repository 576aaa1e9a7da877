#include "platform/common/shared_libraries.h"

#include <dlfcn.h>

#include "core/errors.h"

namespace tovrin {

TSharedLibraries::TSharedLibraries(std::initializer_list<const char*> sonames, TScope scope,
                                   std::string what)
    : FWhat(std::move(what)) {
  const int flags =
      RTLD_NOW | RTLD_NODELETE | (scope == TScope::sGlobal ? RTLD_GLOBAL : RTLD_LOCAL);
  for (const char* soname : sonames) {
    std::unique_ptr<void, TCloser> handle(dlopen(soname, flags));
    if (!handle) {
      const char* reason = dlerror();
      throw Exception("Cannot load the " + FWhat + " library " + soname +
                      (reason ? std::string(": ") + reason : std::string()));
    }
    FHandles.push_back(std::move(handle));
  }
}

void* TSharedLibraries::Find(const char* name) const {
  for (const auto& handle : FHandles) {
    if (void* p = dlsym(handle.get(), name)) return p;
  }
  throw Exception("The " + FWhat + " libraries lack " + name);
}

void TSharedLibraries::TCloser::operator()(void* handle) const {
  dlclose(handle);
}

}  // namespace tovrin
