// An output file that appears at its final path complete or not at all.
//
// The bytes go to a temporary file in the same directory ("<name>.part-<random>", created
// exclusively and never through a symbolic link), which Commit() flushes to the disk and renames to
// the final path, then syncs the directory where the system allows it. Destroyed without a
// successful Commit(), the object closes and removes the temporary file, so a failure or a refusal
// never leaves a half-written file behind and never harms a file that already stood at the final
// path. Renaming also replaces a symbolic link at the final path instead of writing through it.
// Paths are UTF-8. tovrin-pack writes its outputs through it, TIniFile its settings files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tovrin {

enum class TOutputFileMode {
  ofReplace,       // Commit() replaces whatever stands at the final path
  ofKeepExisting,  // Commit() fails, removing the temporary file, when the final path is taken
};

class TOutputFile {
 public:
  // Creates the temporary file; raises EFCreateError ("Cannot create file %s" with the final path)
  // when that is not possible.
  explicit TOutputFile(std::string finalPath, TOutputFileMode mode = TOutputFileMode::ofReplace);
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  const std::string& FinalPath() const { return FFinalPath; }
  // Bytes written so far.
  int64_t Size() const { return FSize; }

  // Appends bytes; raises EWriteError naming the file when the disk refuses them.
  void Write(const void* data, size_t count);
  void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }

  // Gives the finished file the permission bits of another file (the engine is executable).
  void CopyPermissionsFrom(const std::string& path);

  // Flushes, syncs and closes the temporary file and renames it to the final path. Raises
  // EWriteError when any of that fails, EFCreateError when ofKeepExisting finds the final path
  // taken; the temporary file is then removed by the destructor.
  void Commit();

 private:
  struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };

  std::string FFinalPath;
  std::string FTempPath;
  std::unique_ptr<std::FILE, TFileCloser> FFile;
  TOutputFileMode FMode;
  int64_t FSize = 0;
  bool FCommitted = false;
};

}  // namespace tovrin
