#include "platform/headless/headless_system.h"

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <utility>

#include "platform/headless/headless_platform.h"

namespace tovrin {

namespace {

class THeadlessVerifier final : public TPasswordVerifier {
 public:
  explicit THeadlessVerifier(THeadlessPlatform& platform) : FPlatform(platform) {}
  ~THeadlessVerifier() override { FPlatform.Record("Verifier.Free"); }
  bool Verify(TWindowHandle) override {
    const bool accepted = FPlatform.Script().VerifierAccepts;
    FPlatform.Record("Verifier.Verify=" + THeadlessPlatform::Flag(accepted));
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

// The installed input hook; removing it (or destroying it) uninstalls the procedure.
class THeadlessSystem::THook final : public TInputHook {
 public:
  explicit THook(THeadlessSystem& system) : FSystem(system) {}
  ~THook() override { Remove(); }
  void Remove() override {
    if (FRemoved) return;
    FRemoved = true;
    FSystem.FPlatform.Record("InputHook.Remove");
    FSystem.FHook.reset();
  }

 private:
  THeadlessSystem& FSystem;
  bool FRemoved = false;
};

THeadlessSystem::THeadlessSystem(THeadlessPlatform& platform,
                                 std::shared_ptr<THeadlessLockTable> locks)
    : FPlatform(platform), FLocks(std::move(locks)) {}

std::string THeadlessSystem::ExeName() const {
  return FPlatform.Script().ExeName;
}

std::string THeadlessSystem::OwnFileToRead() const {
  return FPlatform.Script().ExeName;
}

std::string THeadlessSystem::TempDir() const {
  return FPlatform.Script().TempDir;
}

std::string THeadlessSystem::SettingsDir() const {
  return FPlatform.Script().SettingsDir;
}

void THeadlessSystem::SetScreenSaverRunning(bool running) {
  FPlatform.Record("SetScreenSaverRunning(" + THeadlessPlatform::Flag(running) + ")");
  FScreenSaverRunning = running;
}

TRegistryInteger THeadlessSystem::ReadDesktopInteger(const std::string& name) const {
  FPlatform.Record("Registry.Read(" + name + ")");
  if (name == "ScreenSaveUsePassword") return FPlatform.Script().UsePassword;
  return TRegistryInteger{TRegistryRead::rrMissing, 0};
}

std::unique_ptr<TPasswordVerifier> THeadlessSystem::LoadPasswordVerifier() {
  const bool installed = FPlatform.Script().VerifierInstalled;
  FPlatform.Record("Verifier.Load=" + THeadlessPlatform::Flag(installed));
  if (!installed) return nullptr;
  return std::make_unique<THeadlessVerifier>(FPlatform);
}

std::unique_ptr<TPasswordChanger> THeadlessSystem::LoadPasswordChanger() {
  const bool installed = FPlatform.Script().PasswordChangerInstalled;
  FPlatform.Record("PasswordChanger.Load=" + THeadlessPlatform::Flag(installed));
  if (!installed) return nullptr;
  return std::make_unique<THeadlessChanger>(FPlatform);
}

TInstanceLockResult THeadlessSystem::CreateInstanceLock(const std::string& name) {
  FPlatform.Record("InstanceLock(" + name + ")");
  TInstanceLockResult result;
  if (!FLocks->Names.insert(name).second) {
    result.AlreadyExists = true;
    return result;
  }
  result.Lock = std::make_unique<THeadlessLock>(FLocks, name);
  return result;
}

TModalResult THeadlessSystem::MessageBox(TWindowHandle, const std::string& text,
                                         const std::string& caption, TMsgBoxKind) {
  FPlatform.Record("MessageBox(" + text + "|" + caption + ")");
  return FPlatform.Script().MessageBoxAnswer;
}

void THeadlessSystem::ShellOpen(TWindowHandle, const std::string& target) {
  FPlatform.Record("ShellOpen(" + target + ")");
}

std::unique_ptr<TInputHook> THeadlessSystem::InstallInputHook(TInputHookProc proc) {
  const bool available = FPlatform.Script().InputHookAvailable;
  FPlatform.Record("InputHook.Install=" + THeadlessPlatform::Flag(available));
  if (!available) return nullptr;
  FHook = std::make_shared<TInputHookProc>(std::move(proc));
  return std::make_unique<THook>(*this);
}

int64_t THeadlessSystem::ProcessId() const {
  if (FPlatform.Script().ProcessId != 0) return FPlatform.Script().ProcessId;
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

TProcessInfo THeadlessSystem::LookUpProcess(int64_t pid) const {
  const THeadlessScript& script = FPlatform.Script();
  if (script.EndedProcesses.contains(pid)) return {};
  const auto start = script.ProcessStarts.find(pid);
  return {.Running = true, .StartTime = start != script.ProcessStarts.end() ? start->second : 0};
}

bool THeadlessSystem::SendHookInput(uint32_t message) {
  if (!FHook) return false;
  // Keep the procedure alive while it runs: it may remove its own hook.
  const std::shared_ptr<TInputHookProc> hook = FHook;
  (*hook)(message);
  return true;
}

}  // namespace tovrin
