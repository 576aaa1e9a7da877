#include "picshow/animate_thread.h"

#include "picshow/custom_pic_show.h"

namespace tovrin {

TAnimateThread::TAnimateThread(TCustomPicShow& picShow)
    : TThread(picShow.Application()), FPicShow(picShow) {
  OnTerminate = [this] {
    if (FPicShow.FThread == this) FPicShow.FinishTransition();
  };
}

TAnimateThread::~TAnimateThread() {
  WaitFor();
}

void TAnimateThread::Execute() {
  TApplication& app = Application();
  while (!Terminated() && !FPicShow.FManual.load() && !FPicShow.FStopping.load()) {
    const uint32_t start = app.TickCount();
    Synchronize([this] { StepFrame(); });
    const uint32_t elapsed = app.TickCount() - start;
    if (FPicShow.FProgress.load() == FPicShow.EndValue()) {
      Terminate();
    } else {
      const uint32_t delay = FPicShow.FDelay.load();
      if (elapsed < delay) app.Sleep(delay - elapsed);
    }
  }
}

void TAnimateThread::StepFrame() {
  TCustomPicShow& show = FPicShow;
  if (show.FDestroying || show.FThread != this) return;
  show.FInWorkerStep = true;
  try {
    show.SetProgress(show.NextStepValue());
  } catch (...) {
    show.FInWorkerStep = false;
    throw;
  }
  show.FInWorkerStep = false;
}

}  // namespace tovrin
