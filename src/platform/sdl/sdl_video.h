// TSdlVideo: SDL's video subsystem for the back end, started on first use, and the loop
// source that carries its events to the windows.
//
// The display connection's descriptor is learnt from the first window (SDL tells it only for a
// window); before any window exists there are no display events to wait for. Events are
// delivered to the window they name, through TSdlEventSink.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <vector>

#include "platform/sdl/sdl_application.h"

namespace tovrin {

class TSdlEventSink {
 public:
  virtual ~TSdlEventSink() = default;
  virtual void HandleEvent(const SDL_Event& event) = 0;
  // A modal box is about to open over the windows (the first of nested ones).
  virtual void ModalOpening() {}
};

class TSdlVideo final : public TLoopSource {
 public:
  explicit TSdlVideo(TSdlApplication& application) : FApplication(application) {}
  ~TSdlVideo() override;
  TSdlVideo(const TSdlVideo&) = delete;
  TSdlVideo& operator=(const TSdlVideo&) = delete;

  // Starts the video subsystem if it is not running; raises (Exception) when there is no
  // display.
  void Start();
  bool Started() const { return FStarted; }

  // A window's events go to sink while it is registered. The first window also gives the
  // display connection the loop waits on.
  void Register(SDL_Window* window, TSdlEventSink& sink);
  void Unregister(SDL_Window* window);

  // While a modal box is open (depth above 0), keys and mouse buttons and movement reach no
  // window of ours: the box's owner takes no input, as with the system's own message boxes.
  void EnterModal();
  void LeaveModal() { --FModalDepth; }

  // TLoopSource
  uint32_t Prepare(std::vector<pollfd>& fds) override;
  bool Check(const pollfd* fds, size_t count, bool dispatch) override;

 private:
  void Dispatch(const SDL_Event& event);

  TSdlApplication& FApplication;
  bool FStarted = false;
  int FDisplayFd = -1;
  int FModalDepth = 0;
  std::map<uint32_t, TSdlEventSink*> FSinks;
};

}  // namespace tovrin
