#include "platform/headless/headless_platform.h"

#include <algorithm>
#include <fstream>

#include "core/errors.h"
#include "core/paths.h"
#include "gfx/draw.h"

namespace tovrin {

namespace {

std::string LowerExtension(const std::string& path) {
  const std::string name = ExtractFileName(path);
  const size_t dot = name.rfind('.');
  std::string ext = dot == std::string::npos ? std::string() : name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

uint32_t ReadLE32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The playing time of a RIFF WAVE file from its header, in ms; 0 when it cannot be told.
uint32_t WaveLengthMs(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  unsigned char riff[12];
  if (!in.read(reinterpret_cast<char*>(riff), 12)) return 0;
  if (std::string(reinterpret_cast<char*>(riff), 4) != "RIFF" ||
      std::string(reinterpret_cast<char*>(riff) + 8, 4) != "WAVE") {
    return 0;
  }
  uint32_t byteRate = 0;
  for (int chunks = 0; chunks < 64; ++chunks) {
    unsigned char head[8];
    if (!in.read(reinterpret_cast<char*>(head), 8)) return 0;
    const std::string id(reinterpret_cast<char*>(head), 4);
    const uint32_t size = ReadLE32(head + 4);
    if (id == "fmt " && size >= 16) {
      unsigned char fmt[16];
      if (!in.read(reinterpret_cast<char*>(fmt), 16)) return 0;
      byteRate = ReadLE32(fmt + 8);
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else if (id == "data") {
      if (byteRate == 0) return 0;
      return static_cast<uint32_t>(
          std::min<uint64_t>(uint64_t{size} * 1000 / byteRate, 0x7FFFFFFF));
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
  }
  return 0;
}

std::string Bool01(bool b) {
  return b ? "1" : "0";
}

}  // namespace

// ---- Screen

class THeadlessScreen final : public TScreen {
 public:
  explicit THeadlessScreen(THeadlessPlatform& platform) : FPlatform(platform) {}
  int32_t Width() const override { return FPlatform.FScript.ScreenWidth; }
  int32_t Height() const override { return FPlatform.FScript.ScreenHeight; }
  int32_t PixelsPerInch() const override { return FPlatform.FScript.PixelsPerInch; }
  void ShowCursor(bool show) override {
    FPlatform.Record(std::string("ShowCursor(") + Bool01(show) + ")");
    FCount += show ? 1 : -1;
  }
  void SetCursor(TCursor cursor) override {
    FPlatform.Record("SetCursor(" + std::to_string(cursor) + ")");
    FCursor = cursor;
  }
  TCursor Cursor() const override { return FCursor; }
  int Count() const { return FCount; }

 private:
  THeadlessPlatform& FPlatform;
  int FCount = 0;
  TCursor FCursor = crDefault;
};

// ---- System services

class THeadlessHook final : public TInputHook {
 public:
  explicit THeadlessHook(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessHook() override { Remove(); }
  void Remove() override;

 private:
  THeadlessPlatform& FPlatform;
  bool FRemoved = false;
};

namespace {

class THeadlessVerifier final : public TPasswordVerifier {
 public:
  explicit THeadlessVerifier(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessVerifier() override { FPlatform.Record("Verifier.Free"); }
  bool Verify(TWindowHandle) override {
    const bool accepted = FPlatform.Script().VerifierAccepts;
    FPlatform.Record(std::string("Verifier.Verify=") + Bool01(accepted));
    return accepted;
  }

 private:
  THeadlessPlatform& FPlatform;
};

class THeadlessChanger final : public TPasswordChanger {
 public:
  explicit THeadlessChanger(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessChanger() override { FPlatform.Record("PasswordChanger.Free"); }
  void Change(TWindowHandle parent) override {
    FPlatform.Record("PasswordChanger.Change(SCRSAVE," + std::to_string(parent) + ",0,0)");
  }

 private:
  THeadlessPlatform& FPlatform;
};

class THeadlessLock final : public TInstanceLock {
 public:
  THeadlessLock(std::shared_ptr<THeadlessLockTable> table, std::string name)
      : FTable(std::move(table)), FName(std::move(name)) {}
  ~THeadlessLock() override { FTable->Names.erase(FName); }

 private:
  std::shared_ptr<THeadlessLockTable> FTable;
  std::string FName;
};

}  // namespace

class THeadlessSystem final : public TSystemServices {
 public:
  explicit THeadlessSystem(THeadlessPlatform& platform) : FPlatform(platform) {}
  std::string ExeName() const override { return FPlatform.FScript.ExeName; }
  std::string TempDir() const override { return FPlatform.FScript.TempDir; }
  std::string SettingsDir() const override { return FPlatform.FScript.SettingsDir; }
  void SetScreenSaverRunning(bool running) override {
    FPlatform.Record(std::string("SetScreenSaverRunning(") + Bool01(running) + ")");
    FPlatform.FScreenSaverRunning = running;
  }
  TRegistryInteger ReadDesktopInteger(const std::string& name) const override {
    FPlatform.Record("Registry.Read(" + name + ")");
    if (name == "ScreenSaveUsePassword") return FPlatform.FScript.UsePassword;
    return TRegistryInteger{TRegistryRead::rrMissing, 0};
  }
  std::unique_ptr<TPasswordVerifier> LoadPasswordVerifier() override {
    const bool installed = FPlatform.FScript.VerifierInstalled;
    FPlatform.Record(std::string("Verifier.Load=") + Bool01(installed));
    if (!installed) return nullptr;
    return std::make_unique<THeadlessVerifier>(FPlatform);
  }
  std::unique_ptr<TPasswordChanger> LoadPasswordChanger() override {
    const bool installed = FPlatform.FScript.PasswordChangerInstalled;
    FPlatform.Record(std::string("PasswordChanger.Load=") + Bool01(installed));
    if (!installed) return nullptr;
    return std::make_unique<THeadlessChanger>(FPlatform);
  }
  TInstanceLockResult CreateInstanceLock(const std::string& name) override {
    FPlatform.Record("InstanceLock(" + name + ")");
    TInstanceLockResult result;
    if (!FPlatform.FLocks->Names.insert(name).second) {
      result.AlreadyExists = true;
      return result;
    }
    result.Lock = std::make_unique<THeadlessLock>(FPlatform.FLocks, name);
    return result;
  }
  TModalResult MessageBox(TWindowHandle, const std::string& text, const std::string& caption,
                          TMsgBoxKind) override {
    FPlatform.Record("MessageBox(" + text + "|" + caption + ")");
    return FPlatform.FScript.MessageBoxAnswer;
  }
  void ShellOpen(TWindowHandle, const std::string& target) override {
    FPlatform.Record("ShellOpen(" + target + ")");
  }
  std::unique_ptr<TInputHook> InstallInputHook(TInputHookProc proc) override {
    const bool available = FPlatform.FScript.InputHookAvailable;
    FPlatform.Record(std::string("InputHook.Install=") + Bool01(available));
    if (!available) return nullptr;
    FPlatform.FHook = std::make_shared<TInputHookProc>(std::move(proc));
    return std::make_unique<THeadlessHook>(FPlatform);
  }
  TPoint CursorPos() const override { return FPlatform.FCursorPos; }

 private:
  THeadlessPlatform& FPlatform;
};

void THeadlessHook::Remove() {
  if (FRemoved) return;
  FRemoved = true;
  FPlatform.Record("InputHook.Remove");
  FPlatform.FHook.reset();
}

// ---- Form window

class THeadlessFormWindow final : public THeadlessWindow {
 public:
  THeadlessFormWindow(THeadlessPlatform& platform, TFormEvents& events)
      : THeadlessWindow(1, 1, clBtnFace), FPlatform(platform) {
    SetForm(&events, &platform.Application(), &platform.Log());
  }
  ~THeadlessFormWindow() override {
    if (FPlatform.FForm == this) FPlatform.FForm = nullptr;
  }

 private:
  THeadlessPlatform& FPlatform;
};

// ---- Sound

THeadlessMediaPlayer::~THeadlessMediaPlayer() {
  *FAlive = false;
  if (FFinishTimer) FPlatform.FApplication.KillTimer(FFinishTimer);
  if (!FOpenFile.empty()) FPlatform.Record("Sound.Close");
  if (FPlatform.FSound == this) FPlatform.FSound = nullptr;
}

void THeadlessMediaPlayer::DoOpen() {
  if (FFinishTimer) FPlatform.FApplication.KillTimer(FFinishTimer);
  FFinishTimer = 0;
  FPlaying = false;
  FPendingNotify = false;  // closing the device drops what it owed
  FOpenFile.clear();
  const std::string& path = FileName();
  std::ifstream probe(path, std::ios::binary);
  const bool ok = probe.good() && FPlatform.FScript.SoundKinds.count(LowerExtension(path)) > 0;
  FPlatform.Record("Sound.Open(" + path + ")" + (ok ? "" : "=failed"));
  if (!ok) throw Exception("Cannot open media file " + path);
  FOpenFile = path;
}

void THeadlessMediaPlayer::DoPlay(bool notify) {
  if (FOpenFile.empty()) throw Exception("No media device open");
  FPlatform.Record("Sound.Play(" + FOpenFile + ")" + (notify ? "" : " no-notify"));
  if (FPendingNotify) QueueNotify(TMPNotifyValues::nvSuperseded);  // the earlier play's
  if (FPlatform.FScript.SoundDeviceFails) {
    FPlaying = false;
    FPendingNotify = false;
    if (notify) QueueNotify(TMPNotifyValues::nvFailure);
    return;
  }
  FPlaying = true;
  FPendingNotify = notify;
  if (FPlatform.FScript.AutoFinishSounds) {
    const uint32_t length = WaveLengthMs(FOpenFile);
    if (FFinishTimer) FPlatform.FApplication.KillTimer(FFinishTimer);
    FFinishTimer = 0;
    if (length > 0) {
      FFinishTimer = FPlatform.FApplication.SetTimer(length, [this] { FinishNow(); });
    }
  }
}

void THeadlessMediaPlayer::DoStop(bool notify) {
  FPlatform.Record(std::string("Sound.Stop") + (notify ? "" : " no-notify"));
  if (FFinishTimer) FPlatform.FApplication.KillTimer(FFinishTimer);
  FFinishTimer = 0;
  const bool owed = FPendingNotify;
  FPlaying = false;
  FPendingNotify = false;
  if (owed || notify) {
    QueueNotify(owed ? TMPNotifyValues::nvAborted : TMPNotifyValues::nvSuccessful);
  }
}

void THeadlessMediaPlayer::FinishNow() {
  if (FFinishTimer) FPlatform.FApplication.KillTimer(FFinishTimer);
  FFinishTimer = 0;
  if (!FPlaying) return;
  FPlatform.Record("Sound.Finished(" + FOpenFile + ")");
  FPlaying = false;
  if (FPendingNotify) {
    FPendingNotify = false;
    QueueNotify(TMPNotifyValues::nvSuccessful);
  }
}

void THeadlessMediaPlayer::QueueNotify(TMPNotifyValues value) {
  std::weak_ptr<bool> alive = FAlive;
  FPlatform.FApplication.Post([this, alive, value] {
    const auto flag = alive.lock();
    if (flag && *flag) Notified(value);
  });
}

// ---- Movies

void THeadlessMoviePlayer::SetBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
  FPlatform.Record("Movie.SetBounds(" + std::to_string(left) + "," + std::to_string(top) + "," +
                   std::to_string(width) + "," + std::to_string(height) + ")");
}

void THeadlessMoviePlayer::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FPlatform.Record(visible ? "Movie.Show" : "Movie.Hide");
  FVisible = visible;
}

void THeadlessMoviePlayer::SetMovie(const std::string& path) {
  FPlatform.Record("Movie.SetMovie(" + path + ")");
  FMovie = path;
  FPlaying = false;
  FStartFrame = 0;
  FTotal = FPlatform.FScript.MovieFrames;
}

int32_t THeadlessMoviePlayer::TotalFrames() {
  return FTotal;
}

int32_t THeadlessMoviePlayer::CurrentFrame() {
  if (!FPlaying || FPlatform.FScript.MovieFrameMs == 0) return FStartFrame;
  const uint32_t elapsed = FPlatform.FApplication.TickCount() - FPlayStart;
  const int64_t frame = FStartFrame + int64_t{elapsed / FPlatform.FScript.MovieFrameMs};
  return static_cast<int32_t>(std::min<int64_t>(frame, std::max(0, FTotal - 1)));
}

void THeadlessMoviePlayer::Play() {
  FPlatform.Record("Movie.Play");
  if (FMovie.empty()) throw Exception("No movie loaded");
  FPlaying = true;
  FPlayStart = FPlatform.FApplication.TickCount();
}

void THeadlessMoviePlayer::Stop() {
  FPlatform.Record("Movie.Stop");
  FStartFrame = CurrentFrame();
  FPlaying = false;
}

void THeadlessMoviePlayer::SetFrames(int32_t total, int32_t current) {
  FTotal = total;
  FStartFrame = current;
  FPlayStart = FPlatform.FApplication.TickCount();
}

// ---- Setup dialog

void THeadlessSetupView::Show() {
  FPlatform.Record("Setup.Show");
  FShowing = true;
}

void THeadlessSetupView::Refresh() {
  ++FRefreshCount;
}

void THeadlessSetupView::Close() {
  FPlatform.Record("Setup.Close");
  FShowing = false;
}

// ---- Preview host

namespace {

class THeadlessPreviewHost final : public TPreviewHost {
 public:
  THeadlessPreviewHost(THeadlessPlatform& platform, TWindowHandle handle)
      : FPlatform(platform), FHandle(handle) {}
  bool Exists() const override {
    const THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
    return w && !w->Destroyed;
  }
  bool IsVisible() const override {
    const THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
    return w && !w->Destroyed && w->Visible;
  }
  TRect WindowRect() const override {
    const THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
    return w ? w->Rect : TRect{};
  }
  void Draw(int32_t x, int32_t y, const TBitmap& bitmap) override {
    THeadlessPreviewWindow* w = FPlatform.PreviewWindow(FHandle);
    if (!w || w->Destroyed) return;
    FPlatform.Record("Preview.Draw(" + std::to_string(bitmap.Width()) + "x" +
                     std::to_string(bitmap.Height()) + ")");
    ::tovrin::Draw(w->Client, x, y, bitmap);
    ++w->DrawCount;
  }

 private:
  THeadlessPlatform& FPlatform;
  TWindowHandle FHandle;
};

}  // namespace

// ---- The platform

THeadlessPlatform::THeadlessPlatform(THeadlessScript script, TTextRenderer& text,
                                     THeadlessApplication::TClockKind clock,
                                     std::shared_ptr<THeadlessLockTable> locks)
    : FScript(std::move(script)),
      FText(text),
      FApplication(clock),
      FLocks(locks ? std::move(locks) : std::make_shared<THeadlessLockTable>()),
      FScreen(std::make_unique<THeadlessScreen>(*this)),
      FSystem(std::make_unique<THeadlessSystem>(*this)) {}

THeadlessPlatform::~THeadlessPlatform() = default;

std::unique_ptr<TFormWindow> THeadlessPlatform::CreateFormWindow(TFormEvents& events) {
  auto window = std::make_unique<THeadlessFormWindow>(*this, events);
  FForm = window.get();
  return window;
}

std::unique_ptr<TMediaPlayer> THeadlessPlatform::CreateMediaPlayer() {
  auto player = std::make_unique<THeadlessMediaPlayer>(*this);
  FSound = player.get();
  return player;
}

std::unique_ptr<TMoviePlayer> THeadlessPlatform::CreateMoviePlayer(TFormWindow&) {
  Record(std::string("Movie.Create=") + Bool01(FScript.MovieControlInstalled));
  if (!FScript.MovieControlInstalled) throw Exception("Class not registered");
  auto player = std::make_unique<THeadlessMoviePlayer>(*this);
  FMovie = player.get();
  return player;
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

int THeadlessPlatform::CursorCount() const {
  return static_cast<const THeadlessScreen&>(*FScreen).Count();
}

TCursor THeadlessPlatform::CursorShape() const {
  return FScreen->Cursor();
}

bool THeadlessPlatform::SendHookInput(uint32_t message) {
  if (!FHook) return false;
  // Keep the procedure alive while it runs: it may remove its own hook.
  const std::shared_ptr<TInputHookProc> hook = FHook;
  (*hook)(message);
  return true;
}

bool THeadlessPlatform::HookInstalled() const {
  return FHook != nullptr;
}

}  // namespace tovrin
