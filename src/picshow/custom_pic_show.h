// TCustomPicShow / TPicShow: the windowless picture control that changes the frame it shows into
// its Picture by a stepped transition.
//
// The control always shows one composed frame, Media. Execute() starts a transition: Progress
// runs from 0 to 100 (100 to 0 with Reverse) in steps of Step percent, one frame per step, at
// most one frame every Delay milliseconds; every new Progress value composes a frame with
// ComposeFrame (compose_frame.h) from OldPic (what the control showed at the start) and NewPic
// (Picture at Media's size). The steps are driven by
//   - a blocking loop in Execute (Threaded off) that waits on the message queue between frames,
//     so messages are served during a transition without burning a core;
//   - a worker thread, TAnimateThread (Threaded on), that times the frames and hands each step
//     to the main thread through the application's synchronize queue;
//   - the caller, writing Progress (Manual on).
//
// States:   Idle (Busy false) --Execute--> Running (blocking | threaded) --end--> Idle + OnComplete
//                                               |  ^                     --Stop--> Idle
//                                     Manual on v  | Manual off
//                                             Manual (Busy, no stepping) --Stop--> Idle
//
// Presentation (pic_show_paint.cpp): Media lies at DisplayRect in the control (centred with
// Center), or is scaled to the client area (Stretch) or fitted into it (Stretch + StretchFine);
// every paint rebuilds the client image in BackBuffer (colour, background picture, Media) and
// hands it to the canvas in one copy. A frame invalidates only the rectangles it changed.
// When Media is exactly the client image (a full-screen show), the paint presents Media itself
// and BackBuffer only records that it equals Media; the pixels are taken over (by swapping the
// two bitmaps) just before the next frame overwrites Media, or copied when BackBuffer is read.
// So a frame costs one full-size copy less, and what BackBuffer holds is the same.
//
// Threads: every member is for the main thread. The worker reads Manual, Stopping, Reverse,
// Progress and Delay, which are atomics for that reason. Events never fire while the control is
// being destroyed. Handlers may call Stop, Clear, Execute or change properties; destroying the
// control from inside one of its own handlers is not supported.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "gfx/bitmap.h"
#include "gfx/color.h"
#include "gfx/graphic.h"
#include "gfx/rect.h"
#include "picshow/picture_holder.h"
#include "platform/application.h"
#include "platform/canvas_lock.h"
#include "platform/host_window.h"
#include "platform/thread.h"

namespace tovrin {

class TAnimateThread;
class TCustomPicShow;

// Transition style number 0..127 (ComposeFrame ignores a stored value above 127).
using TShowStyle = uint8_t;

enum class TBackgroundMode : uint8_t { bmNone, bmTiled, bmStretched, bmCentered };
// How the control follows its parent's client area.
enum class TAlign : uint8_t { alNone, alClient };

using TNotifyEvent = std::function<void(TCustomPicShow& sender)>;
// Sender, Picture (always NewPic), Screen (always Media).
using TCustomDrawEvent =
    std::function<void(TCustomPicShow& sender, TBitmap& picture, TBitmap& screen)>;
using TMouseEvent =
    std::function<void(TCustomPicShow& sender, TMouseButton button, int32_t x, int32_t y)>;
using TMouseMoveEvent = std::function<void(TCustomPicShow& sender, int32_t x, int32_t y)>;

class TCustomPicShow : public THostControl {
 public:
  // The system colour of a window's background, the control's own default colour.
  static constexpr TColor clWindow = static_cast<TColor>(0x80000005u);

  // Registers the control with parent. Both must outlive the control.
  TCustomPicShow(TApplication& application, THostWindow& parent);
  // Ends a running worker and waits for it (serving its synchronize requests), firing no event.
  ~TCustomPicShow() override;
  TCustomPicShow(const TCustomPicShow&) = delete;
  TCustomPicShow& operator=(const TCustomPicShow&) = delete;

  // ---- Properties
  // Picture: the picture the next transition leads to. Setting copies it (nullptr empties),
  // then PictureChanged runs.
  const TPictureHolder& Picture() const { return FPicture; }
  void SetPicture(const TGraphic* graphic) { FPicture.Assign(graphic); }
  void SetPicture(const TBitmap& bitmap) { FPicture.Assign(bitmap); }
  void SetPicture(TBitmap&& bitmap) { FPicture.Assign(std::move(bitmap)); }
  // BgPicture: drawn behind Media as BgMode says.
  const TPictureHolder& BgPicture() const { return FBgPicture; }
  void SetBgPicture(const TGraphic* graphic) { FBgPicture.Assign(graphic); }
  void SetBgPicture(const TBitmap& bitmap) { FBgPicture.Assign(bitmap); }

  TBackgroundMode BgMode() const { return FBgMode; }  // default bmTiled
  void SetBgMode(TBackgroundMode value);
  bool AutoSize() const { return FAutoSize; }  // default true: the size follows Picture
  void SetAutoSize(bool value);
  bool Center() const { return FCenter; }  // default false
  void SetCenter(bool value);
  bool Stretch() const { return FStretch; }  // default false
  void SetStretch(bool value);
  bool StretchFine() const { return FStretchFine; }  // default false; with Stretch: keep aspect
  void SetStretchFine(bool value);
  bool Threaded() const { return FThreaded; }  // default true; read when stepping starts
  void SetThreaded(bool value) { FThreaded = value; }
  TThreadPriority ThreadPriority() const { return FThreadPriority; }  // default tpNormal
  void SetThreadPriority(TThreadPriority value) { FThreadPriority = value; }
  bool Manual() const { return FManual.load(); }  // default false
  void SetManual(bool value);
  TShowStyle Style() const { return FStyle; }  // default 51; read by every frame
  void SetStyle(TShowStyle value) { FStyle = value; }
  uint16_t Step() const { return FStep; }  // default 4; 0 is stored as 1, above 100 as 100
  void SetStep(uint16_t value);
  uint16_t Delay() const { return FDelay.load(); }  // default 40 ms
  void SetDelay(uint16_t value) { FDelay.store(value); }
  bool Reverse() const { return FReverse.load(); }  // default false
  void SetReverse(bool value) { FReverse.store(value); }
  uint8_t Progress() const { return FProgress.load(); }
  // The only way Progress changes during a transition: clamps to 100; ignored when not Busy or
  // unchanged; composes a frame, then fires OnProgress.
  void SetProgress(uint8_t value);
  bool Busy() const { return FBusy; }

  // Inherited control properties.
  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetBounds(int32_t left, int32_t top, int32_t width, int32_t height);
  TRect ClientRect() const { return TRect{0, 0, FWidth, FHeight}; }
  // A hidden control is not painted and gets no mouse input; the window shows what lies
  // behind it.
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign value);
  // The colour of the empty area and of areas a resize adds to Media; the parent's colour while
  // ParentColor is set (the default).
  TColor Color() const { return FParentColor ? FParent.Color() : FColor; }
  void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);

  // ---- Operations
  // Starts a transition from what the control shows to Picture. Does nothing while Busy or
  // without a graphic. Blocking mode returns when the transition has ended or stopped; threaded
  // mode once the worker runs; Manual mode after the preparation. An error releases OldPic and
  // NewPic, clears Busy and goes to the caller.
  void Execute();
  // Ends a running transition at once, without OnComplete; the frame reached stays shown.
  void Stop();
  // Discards the shown frame (not while Busy, and not while someone holds Media's lock), so
  // that only the background is painted and the next transition starts from it.
  void Clear();
  // Outside a transition, lets draw overwrite every pixel of Media in place (its size stays) and
  // repaints the control now: a picture that moves while it is held. The next transition starts
  // from the frame drawn. Returns false, drawing nothing, while Busy, without a shown frame, or
  // while someone holds Media's lock.
  bool RedrawMedia(const std::function<void(TBitmap& media)>& draw);
  // Marks the whole control for repainting / repaints it now / repaints the invalid area now.
  void Invalidate();
  void Repaint();
  void Update();

  // ---- State, read-only
  const TBitmap& Media() const { return FMedia; }
  // The image of the last paint.
  const TBitmap& BackBuffer() const {
    SyncBackBuffer();
    return FBackBuffer;
  }
  TRect DisplayRect() const { return FDisplayRect; }
  const TBitmap* OldPic() const { return FOldPic.get(); }
  const TBitmap* NewPic() const { return FNewPic.get(); }
  const TAnimateThread* Thread() const { return FThread; }
  bool Painting() const { return FPainting; }
  bool Stopping() const { return FStopping.load(); }
  bool Destroying() const { return FDestroying; }
  TCanvasLock& MediaLock() { return FMediaLock; }
  TCanvasLock& BackBufferLock() { return FBackBufferLock; }
  TApplication& Application() const { return FApplication; }

  // ---- Events (fired only when assigned)
  TNotifyEvent OnChange;          // Picture changed (after AdjustClientSize)
  TNotifyEvent OnProgress;        // after each composed frame of SetProgress
  TNotifyEvent OnComplete;        // a transition reached its end value (never after Stop)
  TCustomDrawEvent OnCustomDraw;  // style 0: draws the frame
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TCustomDrawEvent OnBeforeNewFrame;  // every frame, after OldPic has been drawn over Media
  TCustomDrawEvent OnAfterNewFrame;   // every frame, after invalidation, before the repaint
  TNotifyEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  // ---- Messages from the host window (THostControl)
  TRect BoundsRect() const override { return TRect{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void WMPaint(TCanvas& canvas) override;
  bool WMEraseBkgnd() override { return true; }
  void ParentResized() override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(TMouseButton button, int32_t x, int32_t y) override;
  void MouseMove(int32_t x, int32_t y) override;
  void MouseUp(TMouseButton button, int32_t x, int32_t y) override;

 protected:
  // Picture's change notification: sizes the control to the picture (AutoSize) and fires
  // OnChange; nothing while the control is being destroyed.
  virtual void PictureChanged();
  // Rebuilds the client image in BackBuffer and hands it to canvas.
  virtual void Paint(TCanvas& canvas);

  void BgPictureChanged();
  void AdjustClientSize();
  void CalculateDisplayRect();
  // Maps a rectangle of Media to the parent's client area and invalidates it there.
  void InvalidateMediaRect(TRect rect);
  void WMSize();

  void PrepareTransition();
  void Animate();
  void FinishTransition();
  void ComposeFrame();

 private:
  friend class TAnimateThread;

  // The value of the next step from the current Progress, and the end value of the run.
  uint8_t NextStepValue() const;
  uint8_t EndValue() const { return FReverse.load() ? 0 : 100; }
  void AnimateBlocking();
  void StartWorker();
  // Runs a phase that may fail; on error releases the pictures, clears Busy and rethrows.
  template <typename F>
  void Guarded(F&& phase);
  void ReleasePictures();
  // Joins the workers that have finished.
  void ReapWorkers();
  // Where Media is drawn in the client area, as the presentation properties say.
  TRect MediaPaintRect() const;
  void RepaintIfShowing();
  // Gives BackBuffer its own pixels when the last paint left it standing for Media (see the
  // file comment): copies them, or, when Media is about to be overwritten anyway, swaps the two.
  void SyncBackBuffer() const;
  void SyncBackBufferBeforeOverwritingMedia();

  TApplication& FApplication;
  THostWindow& FParent;

  TPictureHolder FPicture;
  TPictureHolder FBgPicture;
  TBackgroundMode FBgMode = TBackgroundMode::bmTiled;
  bool FAutoSize = true;
  bool FCenter = false;
  bool FStretch = false;
  bool FStretchFine = false;
  bool FThreaded = true;
  TThreadPriority FThreadPriority = TThreadPriority::tpNormal;
  std::atomic<bool> FManual{false};
  TShowStyle FStyle = 51;
  uint16_t FStep = 4;
  std::atomic<uint16_t> FDelay{40};
  std::atomic<uint8_t> FProgress{0};
  std::atomic<bool> FReverse{false};
  bool FBusy = false;

  TBitmap FMedia;
  TCanvasLock FMediaLock;
  TRect FDisplayRect;
  TAnimateThread* FThread = nullptr;  // the worker driving the transition, owned in FWorkers
  bool FPainting = false;
  mutable TBitmap FBackBuffer;
  // The last paint showed Media unchanged as the whole client image; FBackBuffer's own pixels
  // are stale until SyncBackBuffer.
  mutable bool FBackBufferIsMedia = false;
  TCanvasLock FBackBufferLock;
  std::atomic<bool> FStopping{false};
  // Shared so that a frame being composed keeps its pictures even if a handler stops the
  // transition in the middle of it.
  std::shared_ptr<TBitmap> FOldPic;
  std::shared_ptr<TBitmap> FNewPic;

  int32_t FLeft = 0;
  int32_t FTop = 0;
  int32_t FWidth = 100;
  int32_t FHeight = 100;
  TAlign FAlign = TAlign::alNone;
  TColor FColor = clWindow;
  bool FParentColor = true;
  bool FVisible = true;
  bool FDestroying = false;
  // The step of the current worker is running (Stop must not wait for that worker then).
  bool FInWorkerStep = false;
  // Workers not yet joined: the current one and any that were let go and are winding down.
  std::vector<std::unique_ptr<TAnimateThread>> FWorkers;
};

// The control with its properties published; behaviour is all TCustomPicShow's.
class TPicShow final : public TCustomPicShow {
 public:
  using TCustomPicShow::TCustomPicShow;
};

}  // namespace tovrin
