// TStudioSession: everything the studio holds for one user: the photos and sounds in their order,
// the choices, thumbnails, style strips, builds and the project file. No HTTP here: the routes
// (studio_routes.cpp) turn requests into these calls, and the tests call them directly.
//
// Files the user uploads are kept in a work folder of the session's own, made fresh under the
// temporary directory (readable by the user alone) and removed with everything in it when the
// session ends:
//
//   WORK/photos/p7/IMG_0042.jpg      one folder per upload, so equal names never clash
//   WORK/sounds/s2/theme.mp3
//   WORK/builds/b1/linux/My saver    finished savers, until the session ends
//   WORK/preview/...                 the saver the preview shows
//
// Thread-safe: the HTTP server calls it from several threads at once. Thumbnails and strips are
// made outside the lock; builds run on threads of their own, which the destructor waits for.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "show/media_folder.h"
#include "studio_builds.h"
#include "studio_choices.h"

namespace tovrin {

// The largest photo and sound the studio takes.
inline constexpr int64_t MaxPhotoBytes = int64_t{200} << 20;
inline constexpr int64_t MaxSoundBytes = int64_t{512} << 20;

struct TStudioPhoto {
  std::string Id;    // "p1", "p2", ...: never reused within a session
  std::string Name;  // the file name, UTF-8
  std::string Path;  // where the file is: the user's own file, or its copy in the work folder
  bool Uploaded = false;
  int64_t Bytes = 0;
  int32_t Width = 0;  // upright
  int32_t Height = 0;
  bool Ok = true;  // false: left out of builds, Error says why
  std::string Error;
};

struct TStudioSound {
  std::string Id;  // "s1", ...
  std::string Name;
  std::string Path;
  bool Uploaded = false;
  int64_t Bytes = 0;
};

struct TStudioSetup {
  std::vector<std::string> Folders;  // the folders the user gave: their photos, and the limit
  std::string LinuxEngine;           // the engines builds copy; empty: that target is missing
  std::string WindowsEngine;
};

class TStudioSession {
 public:
  // Makes the work folder and adds the photos of the folders given. Raises Exception when the
  // work folder cannot be made or a folder cannot be read.
  explicit TStudioSession(TStudioSetup setup);
  ~TStudioSession();
  TStudioSession(const TStudioSession&) = delete;
  TStudioSession& operator=(const TStudioSession&) = delete;

  const std::string& WorkFolder() const { return FWorkPath; }
  std::vector<TStudioPhoto> Photos() const;
  std::vector<TStudioSound> Sounds() const;
  TStudioChoices Choices() const;
  bool HasTarget(std::string_view target) const;
  // The saver's size as it will be: the engine, the photos (those "fit" will shrink counted at
  // their share of the box), the sounds.
  int64_t EstimatedBytes() const;
  // Raised for an unknown id (sfUnknown).
  TStudioPhoto Photo(const std::string& id) const;
  TStudioSound Sound(const std::string& id) const;

  // Adds an uploaded photo under its file name (the last part of `name`). A photo that cannot be
  // read is added too, marked (Ok false). Raises sfBadRequest for a name that is no file name,
  // sfTooLarge above MaxPhotoBytes.
  TStudioPhoto AddPhoto(std::string_view name, std::span<const uint8_t> bytes);
  // Adds the pictures of a folder at or under one of the folders given (subfolders included), in
  // name order. Raises sfOutside for any other folder, sfBadRequest when it holds no picture.
  std::vector<TStudioPhoto> AddPhotoFolder(const std::string& path);
  void RemovePhoto(const std::string& id);
  // ids must be a permutation of the current photo ids (sfBadRequest otherwise).
  void OrderPhotos(const std::vector<std::string>& ids);

  TStudioSound AddSound(std::string_view name, std::span<const uint8_t> bytes);
  void RemoveSound(const std::string& id);
  void OrderSounds(const std::vector<std::string>& ids);

  // See MergeChoicesJson.
  void SetChoices(const nlohmann::json& choices);

  // A JPEG thumbnail, longest side `size` (64 to 512), upright. Made once per photo and size.
  // Raises sfUnknown, sfUnreadable (and marks the photo).
  std::vector<uint8_t> Thumbnail(const std::string& id, int32_t size);
  // Thumbnails of the new photos are made ahead on worker threads, then the preview's copies of
  // them; these wait until none of the one or of both is pending (for tests and measurements).
  void WaitForThumbnails();
  void WaitForPreviewCopies();

  // A JPEG of `frames` frames of `style`, each width x height, side by side, from the first two
  // readable photos (or two plain built-in pictures).
  std::vector<uint8_t> StyleStrip(int32_t style, int32_t width, int32_t height, int32_t frames);

  // Starts a build of the readable photos with the current choices; returns its job id. Raises
  // sfBadRequest for an unknown or missing target or an empty name.
  std::string StartBuild(const std::vector<std::string>& targets, std::string_view name);
  TBuildStatus Build(const std::string& job) const;  // sfUnknown for an unknown job
  void WaitForBuild(const std::string& job);

  // A saver of the current choices for the preview, made only when they or the photos changed
  // since the last one. Raises (the build's message) when it cannot be made.
  std::string PreviewSaver();

  // The project: choices, photos and sounds (paths of the user's own files; uploads as base64).
  nlohmann::json Project() const;
  // Replaces the studio's state with a project's. Raises sfBadRequest for a malformed project;
  // nothing changes then.
  void OpenProject(const nlohmann::json& project);

 private:
  struct TThumbs;
  TStudioPhoto ReadPhoto(std::string id, std::string name, std::string path, bool uploaded);
  std::string NewId(char kind);
  std::string StoreUpload(const char* folder, const std::string& id, std::string_view name,
                          std::span<const uint8_t> bytes);
  void QueueThumbnails(const std::vector<TStudioPhoto>& photos);
  void MarkUnreadable(const std::string& id, const std::string& error);
  TBuildRequest RequestLocked() const;
  // The path of the photo's copy for the preview, fitted into the box "fit" uses (the photo
  // itself when it fits already). Made once; raises sfUnreadable (and marks the photo).
  std::string PreviewCopy(const std::string& id);

  TStudioSetup FSetup;
  TMediaFolder FWork;
  std::string FWorkPath;
  mutable std::mutex FLock;
  std::vector<TStudioPhoto> FPhotos;
  std::vector<TStudioSound> FSounds;
  TStudioChoices FChoices;
  int64_t FNextId = 1;
  uint64_t FGeneration = 0;  // changes with every change a build would see
  uint64_t FPreviewGeneration = UINT64_MAX;
  std::string FPreviewPath;
  std::mutex FPreviewLock;
  std::unique_ptr<TThumbs> FThumbs;
  std::unique_ptr<TStudioBuilds> FBuilds;
};

}  // namespace tovrin
