#include "platform/sdl/sdl_video.h"

#include <SDL_syswm.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "core/errors.h"

namespace tovrin {

namespace {

// Sets an environment variable for the life of the object, then puts back what was there. The
// back end starts video before it starts any thread of its own, so nothing reads the
// environment meanwhile.
class TScopedEnvironment {
 public:
  TScopedEnvironment(const char* name, const char* value) : FName(name) {
    if (const char* old = std::getenv(name)) {
      FHadValue = true;
      FOldValue = old;
    }
    setenv(name, value, 1);
  }
  ~TScopedEnvironment() {
    if (FHadValue) {
      setenv(FName, FOldValue.c_str(), 1);
    } else {
      unsetenv(FName);
    }
  }
  TScopedEnvironment(const TScopedEnvironment&) = delete;
  TScopedEnvironment& operator=(const TScopedEnvironment&) = delete;

 private:
  const char* FName;
  bool FHadValue = false;
  std::string FOldValue;
};

}  // namespace

TSdlVideo::~TSdlVideo() {
  if (!FStarted) return;
  FApplication.RemoveSource(*this);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void TSdlVideo::Start() {
  if (FStarted) return;
  // The signals are ours (read by the message loop); a screen saver must not keep the desktop's
  // own saver or locker from starting; a click that activates the window still counts.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  // X11 (also under Wayland, through XWayland): screen-saver hosts and previews hand over X11
  // windows. SDL_VIDEODRIVER still chooses another driver when it is set.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // The window surface as the display's own shared-memory image, so that a paint sends only
  // its rectangles; by default SDL may put an OpenGL texture behind it, which uploads and
  // draws the whole window every time (with software OpenGL, 30 ms a 1920 x 1080 frame).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  int started;
  {
    // SDL opens an input method at start-up, and Xlib's own one reads and parses the locale's
    // whole compose table then (some 50 million instructions, half the video start-up). Our
    // windows take keys only as keys, never composed text, so the table is left empty for this
    // call: the keys still arrive, each as itself.
    const TScopedEnvironment noCompose("XCOMPOSEFILE", "/dev/null");
    // SDL also asks the session's message bus for an input method. Without a bus address in the
    // environment, the bus library would start a program to find or launch a bus (a fork of this
    // process and a search of the PATH, a new bus daemon left running at worst); a screen saver
    // wants neither, and needs no input method: no bus for SDL then.
    std::optional<TScopedEnvironment> noBusLaunch;
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
      noBusLaunch.emplace("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    }
    started = SDL_InitSubSystem(SDL_INIT_VIDEO);
  }
  if (started != 0) {
    throw Exception(std::string("Cannot open the display: ") + SDL_GetError());
  }
  FStarted = true;
  FApplication.AddSource(*this);
}

void TSdlVideo::Register(SDL_Window* window, TSdlEventSink& sink) {
  FSinks[SDL_GetWindowID(window)] = &sink;
  if (FDisplayFd >= 0) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11) {
    FDisplayFd = ConnectionNumber(info.info.x11.display);
  }
}

void TSdlVideo::EnterModal() {
  if (FModalDepth++ > 0) return;
  // A sink may register or unregister windows meanwhile.
  std::vector<TSdlEventSink*> sinks;
  for (const auto& entry : FSinks) sinks.push_back(entry.second);
  for (TSdlEventSink* sink : sinks) sink->ModalOpening();
}

void TSdlVideo::Unregister(SDL_Window* window) {
  FSinks.erase(SDL_GetWindowID(window));
}

uint32_t TSdlVideo::Prepare(std::vector<pollfd>& fds) {
  // Pumping flushes what we have asked of the display and empties the connection's buffer into
  // SDL's queue, so that waiting on the descriptor afterwards misses nothing.
  SDL_PumpEvents();
  if (FDisplayFd >= 0) fds.push_back(pollfd{FDisplayFd, POLLIN, 0});
  return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) ? 0 : TApplication::Infinite;
}

bool TSdlVideo::Check(const pollfd*, size_t, bool dispatch) {
  SDL_PumpEvents();
  if (!dispatch) return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  // Only the events there now: a handler that pumps again sees later ones itself.
  SDL_Event event;
  int budget = 256;
  while (budget-- > 0 && SDL_PollEvent(&event)) Dispatch(event);
  return false;
}

void TSdlVideo::Dispatch(const SDL_Event& event) {
  uint32_t windowId = 0;
  switch (event.type) {
    case SDL_WINDOWEVENT:
      windowId = event.window.windowID;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (FModalDepth > 0) return;
      windowId = event.key.windowID;
      break;
    case SDL_MOUSEMOTION:
      if (FModalDepth > 0) return;
      windowId = event.motion.windowID;
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (FModalDepth > 0) return;
      windowId = event.button.windowID;
      break;
    default:
      return;  // SDL_QUIT and the rest: the window's own close event is what counts
  }
  const auto it = FSinks.find(windowId);
  if (it != FSinks.end()) it->second->HandleEvent(event);
}

}  // namespace tovrin
