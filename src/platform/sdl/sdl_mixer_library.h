// TSdlMixerLibrary: SDL2_mixer's functions, looked up when the first sound is opened.
//
// The library is loaded at run time rather than with the program: with its decoders (module,
// MIDI synthesizer, Opus, Vorbis) it brings a dozen libraries whose loading, relocation and
// start-up code every show paid before its first picture, sound or not. The declarations still
// come from SDL_mixer.h, so each pointer has the type the header gives; the back end's tests link
// the library itself and check that every pointer is the function of that name.
#pragma once

#include <SDL_mixer.h>

#include <memory>
#include <utility>

#include "platform/common/shared_libraries.h"

namespace tovrin {

class TSdlMixerLibrary {
 public:
  // The name the system's loader knows SDL2_mixer 2 by.
  static constexpr const char* SharedObjectName = "libSDL2_mixer-2.0.so.0";

  // Loads the library (or takes it again: a library once loaded stays in the process, so that
  // handlers its decoders' libraries left behind never point into unmapped code). Raises
  // Exception naming what is missing when the library or one of its functions cannot be found:
  // a show without it plays no sound, as one without a sound device.
  static std::unique_ptr<TSdlMixerLibrary> Load();

  TSdlMixerLibrary(const TSdlMixerLibrary&) = delete;
  TSdlMixerLibrary& operator=(const TSdlMixerLibrary&) = delete;

  decltype(&::Mix_Init) Init = nullptr;
  decltype(&::Mix_Quit) Quit = nullptr;
  decltype(&::Mix_OpenAudio) OpenAudio = nullptr;
  decltype(&::Mix_CloseAudio) CloseAudio = nullptr;
  decltype(&::Mix_HookMusicFinished) HookMusicFinished = nullptr;
  decltype(&::Mix_LoadMUS) LoadMUS = nullptr;
  decltype(&::Mix_FreeMusic) FreeMusic = nullptr;
  decltype(&::Mix_PlayMusic) PlayMusic = nullptr;
  decltype(&::Mix_HaltMusic) HaltMusic = nullptr;

 private:
  explicit TSdlMixerLibrary(TSharedLibraries library) : FLibrary(std::move(library)) {}

  TSharedLibraries FLibrary;
};

}  // namespace tovrin
