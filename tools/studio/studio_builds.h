// The studio's builds: each runs tovrin-pack's build on a thread of its own, one saver per target,
// and keeps its state for the page to poll.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "build_options.h"

namespace tovrin {

// A FILE that discards what is written to it, for the summary and warnings a build prints.
struct TFileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;
// Raises Exception when /dev/null cannot be opened.
TFilePtr OpenDiscardingFile();

struct TBuiltFile {
  std::string Target;  // "linux" or "windows"
  std::string Name;    // the download's file name: "My saver", "My saver.scr"
  std::string Path;
  int64_t Bytes = 0;
};

enum class TBuildState { bsRunning, bsDone, bsFailed };

struct TBuildStatus {
  TBuildState State = TBuildState::bsRunning;
  double Progress = 0;  // 0 to 1 over every target's pictures
  std::string Message;  // "converting picture 3 of 12 (linux)"
  std::string Error;    // why it failed
  std::vector<TBuiltFile> Files;
};

struct TBuildTarget {
  std::string Target;
  std::string EnginePath;
  std::string OutputPath;
  std::string FileName;  // the name the download offers
};

class TStudioBuilds {
 public:
  TStudioBuilds() = default;
  ~TStudioBuilds();  // waits for the builds still running
  TStudioBuilds(const TStudioBuilds&) = delete;
  TStudioBuilds& operator=(const TStudioBuilds&) = delete;

  // Starts job `id` (new): building `request` (its engine and output replaced) for each target in
  // turn. The output folders must exist.
  void Start(const std::string& id, const TBuildRequest& request,
             std::vector<TBuildTarget> targets);
  // Nothing for an unknown job.
  std::optional<TBuildStatus> Status(const std::string& job) const;
  // Waits until the job has ended (returns at once for an unknown job).
  void Wait(const std::string& job);

 private:
  struct TJob {
    TBuildStatus Status;
    std::thread Worker;
  };
  void Run(TJob& job, TBuildRequest request, const std::vector<TBuildTarget>& targets);

  mutable std::mutex FLock;
  std::condition_variable FEnded;
  std::map<std::string, std::unique_ptr<TJob>> FJobs;
};

}  // namespace tovrin
