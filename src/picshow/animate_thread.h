// TAnimateThread: the worker that times the frames of a threaded transition.
//
// Its loop, in the worker:   note the tick count; run StepFrame in the main thread and wait;
//                            stop at the end value, else sleep what is left of Delay.
// It ends when told to terminate, when the control's Manual or Stopping is set, or when a step
// raises (the error is dropped). Its end handler runs the control's FinishTransition in the main
// thread, but only while it is still the control's current worker: a worker that was let go
// (Stop from inside its own step, a restart after Manual) ends without touching the transition.
#pragma once

#include "platform/thread.h"

namespace tovrin {

class TCustomPicShow;

class TAnimateThread final : public TThread {
 public:
  // Binds the end handler; Start() is called by the control.
  explicit TAnimateThread(TCustomPicShow& picShow);
  ~TAnimateThread() override;

  TCustomPicShow& PicShow() const { return FPicShow; }

 protected:
  void Execute() override;

 private:
  // One step, in the main thread: Progress to the next value. Does nothing for a worker that is
  // no longer the control's current one, or while the control is being destroyed.
  void StepFrame();

  TCustomPicShow& FPicShow;
};

}  // namespace tovrin
