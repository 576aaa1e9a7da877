#include "show/monitor_views.h"

namespace tovrin {

// A window over one monitor, with the picture control when the monitor shows pictures. Its
// window's events go to the show through the context; activation and the window's own life
// cycle mean nothing here (the show window is the one the show starts from).
class TMonitorViews::TView final : public TFormEvents {
 public:
  TView(const TContext& context, const TMonitor& monitor, bool pictures)
      : FContext(context), FWindow(context.Platform.CreateFormWindow(*this)) {
    FWindow->SetColor(clBlack);
    Place(monitor);
    SetPictures(pictures);
    FWindow->SetTopmost();
    FWindow->SetVisible(true);
  }
  ~TView() override {
    // The control leaves the window before the window goes.
    FPictures.reset();
  }
  TView(const TView&) = delete;
  TView& operator=(const TView&) = delete;

  void Place(const TMonitor& monitor) {
    FOrigin = TPoint{monitor.Bounds.Left, monitor.Bounds.Top};
    FWindow->SetBounds(monitor.Bounds.Left, monitor.Bounds.Top, monitor.Bounds.Width(),
                       monitor.Bounds.Height());
  }

  void SetPictures(bool pictures) {
    if (pictures == (FPictures != nullptr)) return;
    if (!pictures) {
      FPictures.reset();
      FWindow->InvalidateRect(TRect{0, 0, FWindow->ClientWidth(), FWindow->ClientHeight()}, true);
      FWindow->Update();
      return;
    }
    // As the show window's control: fills the window, the frame centred and stretched to it,
    // every step driven from outside.
    FPictures = std::make_unique<TPicShow>(FContext.Platform.Application(), *FWindow);
    FPictures->SetAlign(TAlign::alClient);
    FPictures->SetCenter(true);
    FPictures->SetStretch(true);
    FPictures->SetThreaded(false);
    FPictures->SetManual(true);
    FPictures->OnMouseMove = [this](TCustomPicShow&, int32_t x, int32_t y) {
      FormMouseMove(0, x, y);
    };
    FPictures->OnMouseDown = [this](TCustomPicShow&, TMouseButton button, int32_t x, int32_t y) {
      FormMouseDown(button, 0, x, y);
    };
  }

  TPicShow* Pictures() const { return FPictures.get(); }
  TFormWindow& Window() const { return *FWindow; }

  // ---- TFormEvents
  void FormShow() override {}
  void FormActivate() override {}
  void FormKeyDown(uint16_t, TShiftState) override { FContext.Input(); }
  void FormMouseDown(TMouseButton, TShiftState, int32_t, int32_t) override { FContext.Input(); }
  void FormMouseMove(TShiftState, int32_t x, int32_t y) override {
    FContext.MouseMove(TPoint{FOrigin.X + x, FOrigin.Y + y});
  }
  void FormUserMessage(uint32_t) override {}
  void FormCloseRequest() override { FContext.CloseRequest(); }

 private:
  const TContext& FContext;
  std::unique_ptr<TFormWindow> FWindow;
  std::unique_ptr<TPicShow> FPictures;
  TPoint FOrigin;
};

TMonitorViews::TMonitorViews(TContext context) : FContext(std::move(context)) {}

TMonitorViews::~TMonitorViews() = default;

void TMonitorViews::Cover(const std::vector<TMonitor>& monitors, bool pictures) {
  // Windows beyond the new count go; the others move to their monitors, in order.
  if (FViews.size() > monitors.size()) FViews.resize(monitors.size());
  for (size_t i = 0; i < FViews.size(); ++i) {
    FViews[i]->Place(monitors[i]);
    FViews[i]->SetPictures(pictures);
  }
  for (size_t i = FViews.size(); i < monitors.size(); ++i) {
    FViews.push_back(std::make_unique<TView>(FContext, monitors[i], pictures));
  }
}

void TMonitorViews::Remove() {
  FViews.clear();
}

std::vector<TCustomPicShow*> TMonitorViews::Followers() const {
  std::vector<TCustomPicShow*> followers;
  for (const auto& view : FViews) {
    if (view->Pictures()) followers.push_back(view->Pictures());
  }
  return followers;
}

std::vector<TMovieMirror> TMonitorViews::MovieMirrors() const {
  std::vector<TMovieMirror> mirrors;
  for (const auto& view : FViews) {
    TView* const v = view.get();
    mirrors.push_back(TMovieMirror{
        .Window = &v->Window(),
        .Mouse = {.Move = [v](int32_t x, int32_t y) { v->FormMouseMove(0, x, y); },
                  .Down = [v](TMouseButton button, int32_t x,
                              int32_t y) { v->FormMouseDown(button, 0, x, y); }},
    });
  }
  return mirrors;
}

TFormWindow& TMonitorViews::Window(size_t i) const {
  return FViews.at(i)->Window();
}

}  // namespace tovrin
