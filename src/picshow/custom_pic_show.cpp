#include "picshow/custom_pic_show.h"

#include <algorithm>

#include "gfx/draw.h"
#include "gfx/fit.h"
#include "gfx/stretch.h"
#include "picshow/animate_thread.h"
#include "picshow/styles/compose_frame.h"

namespace tovrin {

TCustomPicShow::TCustomPicShow(TApplication& application, THostWindow& parent)
    : FApplication(application), FParent(parent) {
  FPicture.OnChange = [this] { PictureChanged(); };
  FBgPicture.OnChange = [this] { BgPictureChanged(); };
  FParent.InsertControl(*this);
}

TCustomPicShow::~TCustomPicShow() {
  FDestroying = true;
  if (FThread) {
    // Its end handler runs FinishTransition during the wait; no event fires now.
    FThread->Terminate();
    FThread->WaitFor();
  }
  for (auto& worker : FWorkers) worker->Terminate();
  FWorkers.clear();  // joins each, serving its last synchronize requests
  FParent.RemoveControl(*this);
}

// ---- Properties

void TCustomPicShow::RepaintIfShowing() {
  if (!FMedia.Empty() && !FPainting) Repaint();
}

void TCustomPicShow::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  // A hidden control leaves the window's list, so paints and mouse input pass it by; the area
  // it covered is repainted with what lies behind it.
  if (FVisible) {
    FParent.InsertControl(*this);
    FParent.InvalidateRect(BoundsRect(), false);
  } else {
    FParent.RemoveControl(*this);
    FParent.InvalidateRect(BoundsRect(), true);
  }
}

void TCustomPicShow::SetBgMode(TBackgroundMode value) {
  if (value == FBgMode) return;
  FBgMode = value;
  if (FBgPicture.HasGraphic() && !FPainting) Repaint();
}

void TCustomPicShow::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  if (FAutoSize) AdjustClientSize();
}

void TCustomPicShow::SetCenter(bool value) {
  if (value == FCenter) return;
  FCenter = value;
  if (FPicture.HasGraphic()) {
    CalculateDisplayRect();
    RepaintIfShowing();
  }
}

void TCustomPicShow::SetStretch(bool value) {
  if (value == FStretch) return;
  FStretch = value;
  RepaintIfShowing();
}

void TCustomPicShow::SetStretchFine(bool value) {
  if (value == FStretchFine) return;
  FStretchFine = value;
  RepaintIfShowing();
}

void TCustomPicShow::SetStep(uint16_t value) {
  FStep = std::clamp<uint16_t>(value, 1, 100);
}

void TCustomPicShow::SetManual(bool value) {
  if (value == FManual.load()) return;
  FManual.store(value);
  if (!FBusy) {
    FProgress.store(FReverse.load() ? 100 : 0);
  } else if (!value) {
    // Automatic stepping resumes from the current Progress.
    Guarded([this] { Animate(); });
  }
  // Set while running: the blocking loop or the worker notices it and leaves the transition
  // Busy for the caller to drive.
}

void TCustomPicShow::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  const bool resized = width != FWidth || height != FHeight;
  // The parent shows its own background where the control was.
  if (!FDestroying) FParent.InvalidateRect(BoundsRect(), true);
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (resized) WMSize();
  Invalidate();
}

void TCustomPicShow::SetAlign(TAlign value) {
  if (value == FAlign) return;
  FAlign = value;
  ParentResized();
}

void TCustomPicShow::ParentResized() {
  if (FAlign == TAlign::alClient) SetBounds(0, 0, FParent.ClientWidth(), FParent.ClientHeight());
}

void TCustomPicShow::SetColor(TColor value) {
  FParentColor = false;
  if (value == FColor) return;
  FColor = value;
  if (!FPainting) Invalidate();
}

void TCustomPicShow::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (!FPainting) Invalidate();
}

void TCustomPicShow::PictureChanged() {
  if (FDestroying) return;
  if (FPicture.HasGraphic() && FAutoSize) AdjustClientSize();
  if (OnChange) OnChange(*this);
}

void TCustomPicShow::BgPictureChanged() {
  if (FBgMode != TBackgroundMode::bmNone && !FPainting && !FDestroying) Repaint();
}

void TCustomPicShow::AdjustClientSize() {
  if (!FPicture.HasGraphic() || FAlign != TAlign::alNone) return;
  SetBounds(FLeft, FTop, FPicture.Width(), FPicture.Height());
}

void TCustomPicShow::MouseEnter() {
  if (OnMouseEnter && !FDestroying) OnMouseEnter(*this);
}
void TCustomPicShow::MouseLeave() {
  if (OnMouseLeave && !FDestroying) OnMouseLeave(*this);
}
void TCustomPicShow::MouseDown(TMouseButton button, int32_t x, int32_t y) {
  if (OnMouseDown) OnMouseDown(*this, button, x, y);
}
void TCustomPicShow::MouseMove(int32_t x, int32_t y) {
  if (OnMouseMove) OnMouseMove(*this, x, y);
}
void TCustomPicShow::MouseUp(TMouseButton button, int32_t x, int32_t y) {
  if (OnMouseUp) OnMouseUp(*this, button, x, y);
  if (button == TMouseButton::mbLeft && OnClick) OnClick(*this);
}

// ---- Transitions

template <typename F>
void TCustomPicShow::Guarded(F&& phase) {
  try {
    phase();
  } catch (...) {
    ReleasePictures();
    FBusy = false;
    throw;
  }
}

void TCustomPicShow::ReleasePictures() {
  FNewPic.reset();
  FOldPic.reset();
}

void TCustomPicShow::ReapWorkers() {
  std::erase_if(FWorkers, [](const std::unique_ptr<TAnimateThread>& w) { return w->Finished(); });
}

void TCustomPicShow::Execute() {
  if (FBusy || !FPicture.HasGraphic()) return;
  ReapWorkers();
  FBusy = true;
  Guarded([this] {
    PrepareTransition();
    if (!FManual.load()) Animate();
  });
}

void TCustomPicShow::PrepareTransition() {
  const TGraphic& picture = *FPicture.Graphic();
  const TColor color = ColorToRGB(Color());
  SyncBackBuffer();
  // Areas that the resize adds to Media take the control's colour.
  FMedia.SetSize(picture.Width(), picture.Height(), color);
  CalculateDisplayRect();

  // OldPic is what the control showed in its display area at this moment, background included,
  // read back from the last paint.
  TRect shown = FDisplayRect;
  if (FStretch) shown = FStretchFine ? FitRect(FDisplayRect, ClientRect()) : ClientRect();
  std::shared_ptr<TBitmap> oldPic;
  if (IntersectRect(shown, FBackBuffer.BoundsRect()) != shown) {
    // Parts that were never on the screen (beyond the client area, or no paint yet) are taken
    // as the control's empty area.
    oldPic = std::make_shared<TBitmap>(TBitmap::ForOverwrite(FMedia.Width(), FMedia.Height()));
    oldPic->Fill(color);
  } else {
    oldPic = std::make_shared<TBitmap>(FMedia.Width(), FMedia.Height());
  }
  StretchCopy(*oldPic, oldPic->BoundsRect(), FBackBuffer, shown);

  // Media has the picture's size: the picture covers NewPic whole.
  auto newPic = std::make_shared<TBitmap>(TBitmap::ForOverwrite(FMedia.Width(), FMedia.Height()));
  Draw(*newPic, 0, 0, picture.Bitmap());
  FOldPic = std::move(oldPic);
  FNewPic = std::move(newPic);
  SetProgress(FReverse.load() ? 100 : 0);
}

void TCustomPicShow::SetProgress(uint8_t value) {
  value = std::min<uint8_t>(value, 100);
  if (!FBusy || value == FProgress.load()) return;
  // A frame with less progress does not cover what the previous one drew.
  if (value < FProgress.load() && !FPainting) InvalidateMediaRect(FMedia.BoundsRect());
  FProgress.store(value);
  ComposeFrame();
  if (!FDestroying && OnProgress) OnProgress(*this);
}

void TCustomPicShow::ComposeFrame() {
  // Held for the whole frame: a handler that stops the transition releases the control's
  // references, not the pictures this frame is drawing with.
  const std::shared_ptr<TBitmap> oldPic = FOldPic;
  const std::shared_ptr<TBitmap> newPic = FNewPic;
  if (!oldPic || !newPic) return;
  // The frame starts by drawing OldPic over the whole of Media.
  if (oldPic->Width() == FMedia.Width() && oldPic->Height() == FMedia.Height()) {
    SyncBackBufferBeforeOverwritingMedia();
  } else {
    SyncBackBuffer();
  }

  TComposeHooks hooks;
  auto bind = [this](const TCustomDrawEvent& event) -> TComposeHooks::TDrawHook {
    if (!event) return nullptr;
    return [this, &event](TBitmap& picture, TBitmap& screen) { event(*this, picture, screen); };
  };
  hooks.BeforeNewFrame = bind(OnBeforeNewFrame);
  hooks.CustomDraw = bind(OnCustomDraw);
  hooks.AfterNewFrame = bind(OnAfterNewFrame);
  hooks.Invalidate = [this](const TRect& r) { InvalidateMediaRect(r); };
  if (!FPainting) hooks.Update = [this] { Update(); };

  uint8_t progress = FProgress.load();
  const TComposeFrameArgs args{*oldPic, *newPic,         FMedia,          FStyle, progress,
                               FStep,   FReverse.load(), ProcessRandom(), hooks};
  try {
    ::tovrin::ComposeFrame(args);
  } catch (...) {
    FProgress.store(progress);
    throw;
  }
  FProgress.store(progress);
}

uint8_t TCustomPicShow::NextStepValue() const {
  const int progress = FProgress.load();
  const int step = FStep;
  if (!FReverse.load()) return static_cast<uint8_t>(std::min(100, progress + step));
  return static_cast<uint8_t>(progress >= step ? progress - step : 0);
}

void TCustomPicShow::Animate() {
  if (FThreaded) {
    StartWorker();
  } else {
    AnimateBlocking();
  }
}

void TCustomPicShow::StartWorker() {
  ReapWorkers();
  if (FThread) {
    // A worker that has not wound down yet (Manual set and cleared before it noticed): let it
    // go. Its remaining steps and its end handler no longer touch the transition.
    FThread->Terminate();
    FThread = nullptr;
  }
  auto worker = std::make_unique<TAnimateThread>(*this);
  TAnimateThread* started = worker.get();
  FWorkers.push_back(std::move(worker));
  FThread = started;
  started->Start(FThreadPriority);
}

void TCustomPicShow::AnimateBlocking() {
  bool atEnd = false;
  do {
    const uint32_t start = FApplication.TickCount();
    SetProgress(NextStepValue());
    atEnd = FProgress.load() == EndValue();
    if (!atEnd) {
      // Serve messages until more than Delay has passed, waiting on the queue (not spinning)
      // with the time left as the timeout, so a message is served the moment it arrives.
      FApplication.ProcessMessages();
      for (;;) {
        const uint32_t elapsed = FApplication.TickCount() - start;
        const uint32_t delay = FDelay.load();
        if (elapsed > delay || !FBusy || FManual.load() || FStopping.load()) break;
        FApplication.WaitMessage(delay - elapsed + 1);
        FApplication.ProcessMessages();
      }
    }
  } while (!atEnd && FBusy && !FManual.load() && !FStopping.load());
  // A handler of the last frame may already have stopped the transition.
  if (atEnd && FBusy) FinishTransition();
}

void TCustomPicShow::FinishTransition() {
  FThread = nullptr;
  if (!FStopping.load() && FManual.load()) return;
  FBusy = false;
  ReleasePictures();
  if (!FDestroying && !FStopping.load() && OnComplete) OnComplete(*this);
}

void TCustomPicShow::Stop() {
  if (!FBusy || FStopping.load()) return;
  FStopping.store(true);
  try {
    if (FThread && !FInWorkerStep) {
      // The end handler runs FinishTransition while we wait.
      TAnimateThread* worker = FThread;
      worker->Terminate();
      worker->WaitFor();
      if (FBusy) FinishTransition();  // the worker was let go before it could end it
    } else {
      // No worker, or Stop comes from inside the worker's own step, which cannot be waited
      // for from here: let the worker go and end the transition now.
      if (FThread) FThread->Terminate();
      FinishTransition();
    }
  } catch (...) {
    FStopping.store(false);
    throw;
  }
  FStopping.store(false);
  ReapWorkers();
}

void TCustomPicShow::Clear() {
  if (FBusy || FMedia.Empty()) return;
  if (!FMediaLock.TryLock()) return;
  FMediaLock.Unlock();
  SyncBackBufferBeforeOverwritingMedia();
  FMedia = TBitmap();
  Repaint();
}

bool TCustomPicShow::RedrawMedia(const std::function<void(TBitmap& media)>& draw) {
  if (FBusy || FMedia.Empty()) return false;
  if (!FMediaLock.TryLock()) return false;
  {
    // Released on every way out of the drawing.
    struct TRelease {
      TCanvasLock& Lock;
      ~TRelease() { Lock.Unlock(); }
    } release{FMediaLock};
    SyncBackBufferBeforeOverwritingMedia();
    draw(FMedia);
  }
  InvalidateMediaRect(FMedia.BoundsRect());
  Update();
  return true;
}

}  // namespace tovrin
