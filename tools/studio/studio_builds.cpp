#include "studio_builds.h"

#include <cstdio>
#include <filesystem>

#include "build_command.h"
#include "core/errors.h"

namespace tovrin {

TFilePtr OpenDiscardingFile() {
  TFilePtr file(std::fopen("/dev/null", "w"));
  if (!file) throw Exception("cannot open /dev/null for a build's messages");
  return file;
}

TStudioBuilds::~TStudioBuilds() {
  std::vector<std::thread*> workers;
  {
    std::lock_guard lock(FLock);
    for (auto& [id, job] : FJobs) workers.push_back(&job->Worker);
  }
  for (std::thread* worker : workers) {
    if (worker->joinable()) worker->join();
  }
}

void TStudioBuilds::Start(const std::string& id, const TBuildRequest& request,
                          std::vector<TBuildTarget> targets) {
  std::lock_guard lock(FLock);
  auto job = std::make_unique<TJob>();
  job->Status.Message = "starting";
  TJob& running = *job;
  FJobs.emplace(id, std::move(job));
  running.Worker = std::thread(
      [this, &running, request, targets = std::move(targets)] { Run(running, request, targets); });
}

void TStudioBuilds::Run(TJob& job, TBuildRequest request,
                        const std::vector<TBuildTarget>& targets) {
  const size_t count = targets.size();
  try {
    const TFilePtr sink = OpenDiscardingFile();
    for (size_t t = 0; t < count; ++t) {
      const TBuildTarget& target = targets[t];
      request.EnginePath = target.EnginePath;
      request.OutputPath = target.OutputPath;
      request.OnPictureProgress = [this, &job, t, count, name = target.Target](int done,
                                                                               int total) {
        std::lock_guard lock(FLock);
        const double share = total > 0 ? static_cast<double>(done) / total : 1.0;
        job.Status.Progress = (static_cast<double>(t) + share) / static_cast<double>(count);
        job.Status.Message = done < total ? "converting picture " + std::to_string(done + 1) +
                                                " of " + std::to_string(total) + " (" + name + ")"
                                          : "writing the " + name + " saver";
      };
      RunBuild(request, target.EnginePath, sink.get(), sink.get());
      TBuiltFile file{target.Target, target.FileName, target.OutputPath,
                      static_cast<int64_t>(std::filesystem::file_size(target.OutputPath))};
      std::lock_guard lock(FLock);
      job.Status.Files.push_back(std::move(file));
    }
    std::lock_guard lock(FLock);
    job.Status.State = TBuildState::bsDone;
    job.Status.Progress = 1;
    job.Status.Message = "done";
    FEnded.notify_all();
  } catch (const std::exception& e) {
    std::lock_guard lock(FLock);
    job.Status.State = TBuildState::bsFailed;
    job.Status.Error = e.what();
    job.Status.Message = "failed";
    FEnded.notify_all();
  }
}

std::optional<TBuildStatus> TStudioBuilds::Status(const std::string& job) const {
  std::lock_guard lock(FLock);
  const auto found = FJobs.find(job);
  if (found == FJobs.end()) return std::nullopt;
  return found->second->Status;
}

void TStudioBuilds::Wait(const std::string& job) {
  std::unique_lock lock(FLock);
  FEnded.wait(lock, [&] {
    const auto found = FJobs.find(job);
    return found == FJobs.end() || found->second->Status.State != TBuildState::bsRunning;
  });
}

}  // namespace tovrin
