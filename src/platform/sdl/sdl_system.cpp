#include "platform/sdl/sdl_system.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/paths.h"
#include "platform/sdl/linux_places.h"
#include "platform/sdl/sdl_signals.h"

extern char** environ;

namespace tovrin {

namespace {

// An flock held on an open file for the life of the object.
class TFileLock final : public TInstanceLock {
 public:
  explicit TFileLock(int fd) : FFd(fd) {}
  ~TFileLock() override { close(FFd); }  // closing releases the lock

 private:
  int FFd;
};

// Restores nothing and owns the attribute objects of one posix_spawn call.
struct TSpawnSetup {
  posix_spawnattr_t Attr;
  posix_spawn_file_actions_t Actions;
  TSpawnSetup() {
    posix_spawnattr_init(&Attr);
    posix_spawn_file_actions_init(&Actions);
  }
  ~TSpawnSetup() {
    posix_spawn_file_actions_destroy(&Actions);
    posix_spawnattr_destroy(&Attr);
  }
  TSpawnSetup(const TSpawnSetup&) = delete;
  TSpawnSetup& operator=(const TSpawnSetup&) = delete;
};

}  // namespace

TSdlSystemServices::TSdlSystemServices(TSdlVideo& video, bool hosted, TMessageBoxFn messageBox)
    : FVideo(video), FHosted(hosted), FMessageBox(std::move(messageBox)) {}

TSdlSystemServices::~TSdlSystemServices() {
  ReapChildren();
}

std::string TSdlSystemServices::ExeName() const {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return "/proc/self/exe";
  path.resize(static_cast<size_t>(n));
  return path;
}

std::string TSdlSystemServices::OwnFileToRead() const {
  // /proc/self/exe opens the file this process runs from even after a rebuilt saver has been
  // renamed over its name (the path would then open the new file, or read as "... (deleted)").
  // Without /proc, the path is all there is.
  if (access("/proc/self/exe", R_OK) == 0) return "/proc/self/exe";
  return ExeName();
}

std::string TSdlSystemServices::TempDir() const {
  return TempDirFrom(std::getenv("TMPDIR"));
}

std::string TSdlSystemServices::SettingsDir() const {
  const std::string dir = SettingsDirFrom(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                                          ExtractFileName(ExeName()));
  // Without a home, the program's own directory, as on Windows.
  if (dir.empty()) return ExtractFileDir(ExeName()) + "/";
  MakeDirectories(dir);  // best effort: a write there then fails as it would anyway
  return dir;
}

TInstanceLockResult TSdlSystemServices::CreateInstanceLock(const std::string& name) {
  TInstanceLockResult result;
  if (FHosted) return result;  // the host runs one show per monitor, all at once
  const std::string dir = LockDirFrom(std::getenv("XDG_RUNTIME_DIR"), TempDir());
  if (dir.empty()) return result;  // no private place for it: carry on as the only instance
  const std::string path = dir + LockFileName(name);
  // O_NOFOLLOW: in a shared temporary directory a link planted under the name is refused.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return result;  // no lock at all: carry on as the only instance
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    result.AlreadyExists = held;
    return result;
  }
  result.Lock = std::make_unique<TFileLock>(fd);
  return result;
}

TModalResult TSdlSystemServices::MessageBox(TWindowHandle owner, const std::string& text,
                                            const std::string& caption, TMsgBoxKind kind) {
  try {
    return FMessageBox(owner, text, caption, kind);
  } catch (const std::exception&) {
    return TModalResult::mrNone;  // no display for a box
  }
}

void TSdlSystemServices::ShellOpen(TWindowHandle, const std::string& target) {
  ReapChildren();
  TSpawnSetup setup;
  // The child starts with the default signal mask and actions (ours blocks the ending signals,
  // see TSignalBlock) and with no input of ours.
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  AddEndingSignals(defaults);
  posix_spawnattr_setsigmask(&setup.Attr, &none);
  posix_spawnattr_setsigdefault(&setup.Attr, &defaults);
  posix_spawnattr_setflags(&setup.Attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_addopen(&setup.Actions, 0, "/dev/null", O_RDONLY, 0);
  std::string program = "xdg-open";
  std::string argument = target;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", &setup.Actions, &setup.Attr, argv, environ) == 0) {
    FChildren.push_back(pid);
  }
}

void TSdlSystemServices::ReapChildren() {
  std::erase_if(FChildren, [](pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) != 0;
  });
}

TPoint TSdlSystemServices::CursorPos() const {
  if (!FVideo.Started()) return TPoint{};
  int x = 0;
  int y = 0;
  SDL_GetGlobalMouseState(&x, &y);
  return TPoint{x, y};
}

}  // namespace tovrin
