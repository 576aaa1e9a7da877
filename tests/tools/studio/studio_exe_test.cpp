// The tovrin-studio executable: its address on the first line, its page, its end on SIGTERM with
// its work folder gone, and its command line.
#include <httplib.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "scratch_dir.h"

extern char** environ;

namespace tovrin::test {
namespace {

namespace fs = std::filesystem;

// The studio run with its standard output on a pipe, killed if a test leaves it running.
class TStudioProcess {
 public:
  explicit TStudioProcess(std::vector<std::string> args, const fs::path& temp) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    args.insert(args.begin(), TOVRIN_STUDIO_EXE);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::string tmp = "TMPDIR=" + temp.string();
    std::vector<char*> env{tmp.data()};
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string_view(*e).rfind("TMPDIR=", 0) != 0) env.push_back(*e);
    }
    env.push_back(nullptr);
    const int rc =
        posix_spawn(&FPid, TOVRIN_STUDIO_EXE, &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) throw std::runtime_error("spawn");
    FOut = fdopen(fds[0], "r");
  }
  ~TStudioProcess() {
    if (FPid > 0) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
    if (FOut != nullptr) fclose(FOut);
  }
  std::string Line() {
    char buffer[512];
    return fgets(buffer, sizeof buffer, FOut) != nullptr ? std::string(buffer) : std::string();
  }
  // The exit status after SIGTERM, or -1 when it did not end within 10 s.
  int Terminate() {
    kill(FPid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      int status = 0;
      if (waitpid(FPid, &status, WNOHANG) == FPid) {
        FPid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return -1;
  }

 private:
  pid_t FPid = 0;
  FILE* FOut = nullptr;
};

TEST(StudioExeTest, PrintsItsAddressServesItsPageAndEndsCleanlyOnSigterm) {
  const fs::path temp = ScratchDirFor("tovrin-studio-exe");
  TStudioProcess studio({"--no-browser"}, temp);
  std::string address = studio.Line();
  ASSERT_FALSE(address.empty());
  address.pop_back();  // the newline
  // http://127.0.0.1:PORT/SECRET/
  const std::string prefix = "http://127.0.0.1:";
  ASSERT_EQ(address.rfind(prefix, 0), 0u) << address;
  const size_t slash = address.find('/', prefix.size());
  const int port = std::stoi(address.substr(prefix.size(), slash - prefix.size()));
  const std::string path = address.substr(slash);
  EXPECT_EQ(path.size(), 34u) << "a secret of 32 characters between slashes";

  httplib::Client client("127.0.0.1", port);
  httplib::Result page = client.Get(path.c_str());
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  // Its work folder is under the temporary directory it was given, readable by it alone.
  std::vector<fs::path> work;
  for (const auto& entry : fs::directory_iterator(temp)) work.push_back(entry.path());
  ASSERT_EQ(work.size(), 1u);
  EXPECT_EQ(fs::status(work[0]).permissions() & fs::perms::all, fs::perms::owner_all);

  EXPECT_EQ(studio.Terminate(), 0);
  EXPECT_FALSE(fs::exists(work[0])) << "the work folder is removed at the end";
  fs::remove_all(temp);
}

TEST(StudioExeTest, CommandLineMistakesAreRefusedWithStatusTwo) {
  struct TCase {
    std::string Args;
    int Status;
  };
  const TCase cases[] = {
      {"--help", 0},   {"--version", 0}, {"--port -1", 2},       {"--port 65536", 2},
      {"--port x", 2}, {"--fast", 2},    {"/no/such/folder", 2},
  };
  for (const TCase& c : cases) {
    const std::string command = std::string(TOVRIN_STUDIO_EXE) + " " + c.Args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << c.Args;
    EXPECT_EQ(WEXITSTATUS(status), c.Status) << c.Args;
  }
}

}  // namespace
}  // namespace tovrin::test
