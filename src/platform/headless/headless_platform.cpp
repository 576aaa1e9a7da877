#include "platform/headless/headless_platform.h"

#include "core/errors.h"
#include "gfx/draw.h"

#if TOVRIN_VIDEO
#include "platform/headless/headless_video_player.h"
#endif

namespace tovrin {

class THeadlessPlatform::TForm final : public THeadlessWindow {
 public:
  TForm(THeadlessPlatform& platform, TFormEvents& events)
      : THeadlessWindow(1, 1, clBtnFace), FPlatform(platform) {
    SetForm(&events, &platform.Application(), &platform.Log());
  }
  ~TForm() override { FPlatform.Forget(*this); }

 private:
  THeadlessPlatform& FPlatform;
};

THeadlessPlatform::THeadlessPlatform(THeadlessScript script, TTextRenderer& text,
                                     THeadlessApplication::TClockKind clock,
                                     std::shared_ptr<THeadlessLockTable> locks)
    : FScript(std::move(script)),
      FText(text),
      FApplication(clock),
      FSystem(*this, locks ? std::move(locks) : std::make_shared<THeadlessLockTable>()) {}

THeadlessPlatform::~THeadlessPlatform() = default;

std::unique_ptr<TFormWindow> THeadlessPlatform::CreateFormWindow(TFormEvents& events) {
  auto window = std::make_unique<TForm>(*this, events);
  FForms.push_back(window.get());
  return window;
}

std::unique_ptr<TMediaPlayer> THeadlessPlatform::CreateMediaPlayer() {
  auto player = std::make_unique<THeadlessMediaPlayer>(*this);
  FSound = player.get();
  return player;
}

std::unique_ptr<TMoviePlayer> THeadlessPlatform::CreateMoviePlayer(TFormWindow&) {
  Record("Movie.Create=" + Flag(FScript.MovieControlInstalled));
  if (!FScript.MovieControlInstalled) throw Exception("Class not registered");
  auto player = std::make_unique<THeadlessMoviePlayer>(*this);
  FMovie = player.get();
  return player;
}

std::unique_ptr<TMoviePlayer> THeadlessPlatform::CreateVideoPlayer(TFormWindow& parent, bool sound,
                                                                   TMovieMouse mouse) {
#if TOVRIN_VIDEO
  Record("Video.Create(sound=" + Flag(sound) + ")=" + Flag(FScript.VideoPlayerInstalled));
  if (!FScript.VideoPlayerInstalled) throw Exception("No video player");
  return std::make_unique<THeadlessVideoPlayer>(*this, parent, sound, std::move(mouse));
#else
  (void)parent;
  (void)mouse;
  Record("Video.Create(sound=" + Flag(sound) + ")=0");
  throw Exception("No player for these movies is installed on this system");
#endif
}

std::unique_ptr<TSetupDialogView> THeadlessPlatform::CreateSetupDialog(TSetupDialogModel& model) {
  auto view = std::make_unique<THeadlessSetupView>(*this, model);
  FSetupView = view.get();
  return view;
}

std::unique_ptr<TPreviewHost> THeadlessPlatform::OpenPreviewHost(TWindowHandle handle) {
  if (!PreviewWindow(handle)) return nullptr;
  return std::make_unique<THeadlessPreviewHost>(*this, handle);
}

THeadlessPreviewWindow& THeadlessPlatform::AddPreviewWindow(TWindowHandle handle, TRect rect,
                                                            bool visible) {
  auto& slot = FPreviewWindows[handle];
  slot = std::make_unique<THeadlessPreviewWindow>(rect, visible);
  return *slot;
}

THeadlessPreviewWindow* THeadlessPlatform::PreviewWindow(TWindowHandle handle) {
  const auto it = FPreviewWindows.find(handle);
  return it == FPreviewWindows.end() ? nullptr : it->second.get();
}

TBitmap THeadlessPlatform::DeskImage() const {
  TRect desk;
  for (const TMonitor& m : FScreen.Monitors()) desk = UnionRect(desk, m.Bounds);
  TBitmap image(desk.Width(), desk.Height());
  image.Fill(ColorToRGB(clBlack));
  for (const THeadlessWindow* form : FForms) {
    if (form->Visible())
      Draw(image, form->Left() - desk.Left, form->Top() - desk.Top, form->Screen());
  }
  return image;
}

}  // namespace tovrin
