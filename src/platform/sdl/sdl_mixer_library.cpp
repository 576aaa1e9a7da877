#include "platform/sdl/sdl_mixer_library.h"

namespace tovrin {

std::unique_ptr<TSdlMixerLibrary> TSdlMixerLibrary::Load() {
  std::unique_ptr<TSdlMixerLibrary> library(new TSdlMixerLibrary(
      TSharedLibraries({SharedObjectName}, TSharedLibraries::TScope::sLocal, "sound")));
  TSdlMixerLibrary& l = *library;
  const TSharedLibraries& so = l.FLibrary;
  so.Find(l.Init, "Mix_Init");
  so.Find(l.Quit, "Mix_Quit");
  so.Find(l.OpenAudio, "Mix_OpenAudio");
  so.Find(l.CloseAudio, "Mix_CloseAudio");
  so.Find(l.HookMusicFinished, "Mix_HookMusicFinished");
  so.Find(l.LoadMUS, "Mix_LoadMUS");
  so.Find(l.FreeMusic, "Mix_FreeMusic");
  so.Find(l.PlayMusic, "Mix_PlayMusic");
  so.Find(l.HaltMusic, "Mix_HaltMusic");
  return library;
}

}  // namespace tovrin
