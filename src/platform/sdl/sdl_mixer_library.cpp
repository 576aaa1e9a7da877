#include "platform/sdl/sdl_mixer_library.h"

#include <dlfcn.h>

#include <string>

#include "core/errors.h"

namespace tovrin {

namespace {

// Looks name up in the library and stores it with the pointer's own type.
template <typename F>
void Find(void* handle, F& target, const char* name) {
  void* symbol = dlsym(handle, name);
  if (!symbol) throw Exception(std::string("No sound device: ") + name + " is missing");
  // POSIX makes a function's address from dlsym usable through a cast to its type.
  target = reinterpret_cast<F>(symbol);
}

}  // namespace

std::unique_ptr<TSdlMixerLibrary> TSdlMixerLibrary::Load() {
  // Never unloaded from the process (RTLD_NODELETE): its decoders' libraries may have left
  // handlers behind that must not point into unmapped code; closing only drops our reference.
  std::unique_ptr<void, TCloser> owned(
      dlopen(SharedObjectName, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
  if (!owned) {
    const char* error = dlerror();
    throw Exception(std::string("No sound device: ") + (error ? error : SharedObjectName));
  }
  void* handle = owned.get();
  std::unique_ptr<TSdlMixerLibrary> library(new TSdlMixerLibrary(std::move(owned)));
  TSdlMixerLibrary& l = *library;
  Find(handle, l.Init, "Mix_Init");
  Find(handle, l.Quit, "Mix_Quit");
  Find(handle, l.OpenAudio, "Mix_OpenAudio");
  Find(handle, l.CloseAudio, "Mix_CloseAudio");
  Find(handle, l.HookMusicFinished, "Mix_HookMusicFinished");
  Find(handle, l.LoadMUS, "Mix_LoadMUS");
  Find(handle, l.FreeMusic, "Mix_FreeMusic");
  Find(handle, l.PlayMusic, "Mix_PlayMusic");
  Find(handle, l.HaltMusic, "Mix_HaltMusic");
  return library;
}

void TSdlMixerLibrary::TCloser::operator()(void* handle) const {
  dlclose(handle);
}

}  // namespace tovrin
