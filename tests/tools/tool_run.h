// Running the real tool executables from the tests: a command line quoted for the shell, its
// exit code and what it wrote to standard output and standard error.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tovrin::test {

struct TToolRun {
  int ExitCode = -1;  // 128 + the signal for a process a signal ended
  std::string Out;
  std::string Err;
};

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string ReadText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs tool with args through the shell, prefixed by env (e.g. "env HOME=... "), its output
// caught in files of scratch that are removed again.
inline TToolRun RunTool(const std::string& tool, const std::vector<std::string>& args,
                        const std::filesystem::path& scratch, const std::string& env = "") {
  std::string command = env + ShellQuote(tool);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  const std::filesystem::path out = scratch / "stdout.txt", err = scratch / "stderr.txt";
  command += " >" + ShellQuote(out.string()) + " 2>" + ShellQuote(err.string());
  const int status = std::system(command.c_str());
  TToolRun r;
  r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.Out = ReadText(out);
  r.Err = ReadText(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return r;
}

}  // namespace tovrin::test
