#include "studio_session.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include <nlohmann/json.hpp>

#include "build_command.h"
#include "caption_template.h"
#include "core/ansi_text.h"
#include "core/errors.h"
#include "core/paths.h"
#include "import/fit_box.h"
#include "import/jpeg_encode.h"
#include "import/orient_bitmap.h"
#include "import/photo_metadata.h"
#include "import/picture_import.h"
#include "package/package_locator.h"
#include "picture_folders.h"
#include "studio_errors.h"
#include "studio_files.h"
#include "style_strip.h"
#include "thumbnail.h"

namespace tovrin {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// The size the page asks for most: made ahead for every new photo.
constexpr int32_t kAheadThumbnailSize = 256;
constexpr int kStripQuality = 80;

template <class T>
void Reorder(std::vector<T>& items, const std::vector<std::string>& ids, const char* what) {
  std::vector<T> ordered;
  std::set<std::string> seen;
  for (const std::string& id : ids) {
    const auto found =
        std::find_if(items.begin(), items.end(), [&](const T& item) { return item.Id == id; });
    if (found == items.end() || !seen.insert(id).second) {
      throw EStudioError(TStudioFault::sfBadRequest, std::string("order: \"") + id +
                                                         "\" is not one of the " + what +
                                                         " or is named twice; send every id once");
    }
    ordered.push_back(*found);
  }
  if (ordered.size() != items.size()) {
    throw EStudioError(TStudioFault::sfBadRequest,
                       std::string("order: name every one of the ") + what + ", each once");
  }
  items = std::move(ordered);
}

template <class T>
T FindById(const std::vector<T>& items, const std::string& id, const char* what) {
  for (const T& item : items) {
    if (item.Id == id) return item;
  }
  throw EStudioError(TStudioFault::sfUnknown, std::string("no ") + what + " \"" + id + "\"");
}

// Takes the item of id out of items; an upload's copy goes with it, the user's own file stays
// where it is.
template <class T>
void RemoveById(std::vector<T>& items, const std::string& id, const char* what) {
  const auto found =
      std::find_if(items.begin(), items.end(), [&](const T& item) { return item.Id == id; });
  if (found == items.end()) {
    throw EStudioError(TStudioFault::sfUnknown, std::string("no ") + what + " \"" + id + "\"");
  }
  if (found->Uploaded) {
    std::error_code ec;
    fs::remove_all(PathFromUtf8(found->Path).parent_path(), ec);
  }
  items.erase(found);
}

// Each photo's own caption from the template, in Windows-1252 as the package stores it. An
// uploaded photo has no folder of the user's (its copy lies in a folder of the studio's), so it is
// expanded as a bare name at the root: {folder} is then left out, as for any field a photo lacks.
std::string PhotoCaption(const TCaptionTemplate& captions, const TStudioPhoto& photo,
                         const TPlaceFinder& places) {
  const std::string path = photo.Uploaded ? "/" + photo.Name : photo.Path;
  return Utf8ToAnsi(captions.Expand(
      path, ReadPhotoMetadata(ReadFileBytes(photo.Path, PhotoHeaderBytes)), places));
}

// Expands the template of request for every readable photo into the captions the build stores as
// given. The studio does it rather than the build, which knows the photos only by their paths:
// an upload's path names a folder of the studio's.
void StoreCaptions(TBuildRequest& request, const std::vector<TStudioPhoto>& photos) {
  if (request.CaptionTemplate.empty()) return;
  const TCaptionTemplate captions("caption.template", request.CaptionTemplate);
  const TPlaceFinder places = PlacesFor(captions, stderr);
  std::vector<std::string> descriptions;
  for (const TStudioPhoto& photo : photos) {
    if (photo.Ok) descriptions.push_back(PhotoCaption(captions, photo, places));
  }
  request.CaptionTemplate.clear();
  request.Options.Descriptions = std::move(descriptions);
  request.Options.PicCaptions = true;
}

}  // namespace

// Thumbnails made once per photo and size; those of new photos made ahead by worker threads.
struct TStudioSession::TThumbs {
  using TKey = std::pair<std::string, int32_t>;
  std::mutex Lock;
  std::map<TKey, std::shared_future<std::vector<uint8_t>>> Made;
  std::deque<std::string> Queue;
  // The preview's copies of the photos, fitted to its screen; made after the thumbnails.
  std::map<std::string, std::shared_future<std::string>> Copies;
  std::deque<std::string> CopyQueue;
  std::condition_variable Wake;
  std::condition_variable Idle;
  int Busy = 0;            // workers at work
  int BusyThumbnails = 0;  // of them, on thumbnails
  bool Stop = false;
  std::vector<std::thread> Workers;
  // Strips, kept for the two pictures they were made from.
  std::mutex StripLock;
  std::string StripSource;  // ids and size of the two pictures
  TBitmap StripOld, StripNew;
  std::map<std::tuple<int32_t, int32_t>, std::vector<uint8_t>> Strips;  // (style, frames)
};

TStudioSession::TStudioSession(TStudioSetup setup)
    : FSetup(std::move(setup)),
      FThumbs(std::make_unique<TThumbs>()),
      FBuilds(std::make_unique<TStudioBuilds>()) {
  FWork.Create(GetTempDir());
  FWorkPath = FWork.Path();
  for (const char* sub : {"photos", "sounds", "builds", "preview"}) {
    fs::create_directories(PathFromUtf8(FWorkPath + sub));
  }
  // Before the workers start: a folder that cannot be read ends the constructor, and nothing
  // is left running. Their thumbnails wait in the queue.
  for (const std::string& folder : FSetup.Folders) AddPhotoFolder(folder);
  // One worker a core, up to four: the thumbnails of a folder of photos are made in parallel,
  // and the page's own requests run on the server's threads meanwhile.
  const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
  for (unsigned i = 0; i < workers; ++i) {
    FThumbs->Workers.emplace_back([this] {
      TThumbs& t = *FThumbs;
      std::unique_lock lock(t.Lock);
      for (;;) {
        t.Wake.wait(lock, [&] { return t.Stop || !t.Queue.empty() || !t.CopyQueue.empty(); });
        if (t.Stop) return;
        // Thumbnails first: the page shows them at once; the preview comes later.
        const bool thumbnail = !t.Queue.empty();
        std::deque<std::string>& queue = thumbnail ? t.Queue : t.CopyQueue;
        const std::string id = std::move(queue.front());
        queue.pop_front();
        ++t.Busy;
        t.BusyThumbnails += thumbnail ? 1 : 0;
        lock.unlock();
        try {
          if (thumbnail) {
            Thumbnail(id, kAheadThumbnailSize);
          } else {
            PreviewCopy(id);
          }
        } catch (const std::exception&) {
          // Marked on the photo; the page shows it.
        }
        lock.lock();
        --t.Busy;
        t.BusyThumbnails -= thumbnail ? 1 : 0;
        t.Idle.notify_all();
      }
    });
  }
}

TStudioSession::~TStudioSession() {
  {
    std::lock_guard lock(FThumbs->Lock);
    FThumbs->Stop = true;
  }
  FThumbs->Wake.notify_all();
  for (std::thread& worker : FThumbs->Workers) worker.join();
  FBuilds.reset();  // the builds write into the work folder
}

std::vector<TStudioPhoto> TStudioSession::Photos() const {
  std::lock_guard lock(FLock);
  return FPhotos;
}

std::vector<TStudioSound> TStudioSession::Sounds() const {
  std::lock_guard lock(FLock);
  return FSounds;
}

TStudioChoices TStudioSession::Choices() const {
  std::lock_guard lock(FLock);
  return FChoices;
}

TStudioPhoto TStudioSession::Photo(const std::string& id) const {
  std::lock_guard lock(FLock);
  return FindById(FPhotos, id, "photo");
}

TStudioSound TStudioSession::Sound(const std::string& id) const {
  std::lock_guard lock(FLock);
  return FindById(FSounds, id, "sound");
}

bool TStudioSession::HasTarget(std::string_view target) const {
  if (target == "linux") return !FSetup.LinuxEngine.empty();
  if (target == "windows") return !FSetup.WindowsEngine.empty();
  return false;
}

int64_t TStudioSession::EstimatedBytes() const {
  std::error_code ec;
  int64_t total = 0;
  if (!FSetup.LinuxEngine.empty()) {
    const auto size = fs::file_size(PathFromUtf8(FSetup.LinuxEngine), ec);
    if (!ec) total += static_cast<int64_t>(size);
  }
  std::lock_guard lock(FLock);
  const TFitBox box = FChoices.Fit ? TFitBox{StudioFitWidth, StudioFitHeight} : TFitBox{};
  for (const TStudioPhoto& photo : FPhotos) {
    if (!photo.Ok) continue;
    const TPictureSize fitted = FittedSize(photo.Width, photo.Height, box);
    const double area = static_cast<double>(photo.Width) * photo.Height;
    // A shrunk picture's file shrinks about as its area does.
    const double share = area > 0 ? static_cast<double>(fitted.Width) * fitted.Height / area : 1.0;
    total += static_cast<int64_t>(static_cast<double>(photo.Bytes) * std::min(1.0, share));
  }
  for (const TStudioSound& sound : FSounds) total += sound.Bytes;
  return total;
}

std::string TStudioSession::NewId(char kind) {
  std::lock_guard lock(FLock);
  return std::string(1, kind) + std::to_string(FNextId++);
}

TStudioPhoto TStudioSession::ReadPhoto(std::string id, std::string name, std::string path,
                                       bool uploaded) {
  TStudioPhoto photo;
  photo.Id = std::move(id);
  photo.Name = std::move(name);
  photo.Path = std::move(path);
  photo.Uploaded = uploaded;
  std::error_code ec;
  photo.Bytes = static_cast<int64_t>(fs::file_size(PathFromUtf8(photo.Path), ec));
  try {
    std::vector<uint8_t> head = ReadFileBytes(photo.Path, PhotoHeaderBytes);
    TImportPlan plan;
    try {
      plan = PlanImport(head, TImportOptions{});
    } catch (const Exception&) {
      if (head.size() < PhotoHeaderBytes) throw;
      plan = PlanImport(ReadFileBytes(photo.Path), TImportOptions{});
    }
    const bool swaps = OrientationSwapsSides(plan.Orientation);
    photo.Width = swaps ? plan.Height : plan.Width;
    photo.Height = swaps ? plan.Width : plan.Height;
  } catch (const std::exception&) {
    photo.Ok = false;
    photo.Error = UnreadablePhoto;
  }
  return photo;
}

std::string TStudioSession::StoreUpload(const char* folder, const std::string& id,
                                        std::string_view name, std::span<const uint8_t> bytes) {
  const std::string fileName = UploadFileName(name);
  const fs::path dir = PathFromUtf8(FWorkPath) / folder / id;
  fs::create_directories(dir);
  const fs::path path = dir / PathFromUtf8(fileName);
  WriteFileBytes(path, bytes);
  return Utf8FromPath(path);
}

void TStudioSession::QueueThumbnails(const std::vector<TStudioPhoto>& photos) {
  {
    std::lock_guard lock(FThumbs->Lock);
    for (const TStudioPhoto& photo : photos) {
      if (!photo.Ok) continue;
      FThumbs->Queue.push_back(photo.Id);
      FThumbs->CopyQueue.push_back(photo.Id);
    }
  }
  FThumbs->Wake.notify_all();
}

TStudioPhoto TStudioSession::AddPhoto(std::string_view name, std::span<const uint8_t> bytes) {
  if (static_cast<int64_t>(bytes.size()) > MaxPhotoBytes) {
    throw EStudioError(TStudioFault::sfTooLarge,
                       "a photo may have at most " + std::to_string(MaxPhotoBytes >> 20) + " MB");
  }
  const std::string fileName = UploadFileName(name);
  const std::string id = NewId('p');
  const std::string path = StoreUpload("photos", id, fileName, bytes);
  const TStudioPhoto photo = ReadPhoto(id, fileName, path, true);
  {
    std::lock_guard lock(FLock);
    FPhotos.push_back(photo);
    ++FGeneration;
  }
  QueueThumbnails({photo});
  return photo;
}

std::vector<TStudioPhoto> TStudioSession::AddPhotoFolder(const std::string& path) {
  const fs::path folder = PathFromUtf8(path);
  const bool inside = std::any_of(
      FSetup.Folders.begin(), FSetup.Folders.end(),
      [&](const std::string& given) { return IsAtOrUnder(folder, PathFromUtf8(given)); });
  if (!folder.is_absolute() || !inside) {
    throw EStudioError(TStudioFault::sfOutside,
                       "a path outside what the user gave: the studio reads only the folders it "
                       "was started with");
  }
  TPictureInputs inputs;
  try {
    inputs = ExpandPictureInputs({path}, true);
  } catch (const Exception& e) {
    throw EStudioError(TStudioFault::sfBadRequest, e.Message());
  }
  std::vector<TStudioPhoto> added;
  for (const std::string& file : inputs.Files) {
    added.push_back(ReadPhoto(NewId('p'), ExtractFileName(file), file, false));
  }
  {
    std::lock_guard lock(FLock);
    FPhotos.insert(FPhotos.end(), added.begin(), added.end());
    ++FGeneration;
  }
  QueueThumbnails(added);
  return added;
}

void TStudioSession::RemovePhoto(const std::string& id) {
  std::lock_guard lock(FLock);
  RemoveById(FPhotos, id, "photo");
  ++FGeneration;
}

void TStudioSession::OrderPhotos(const std::vector<std::string>& ids) {
  std::lock_guard lock(FLock);
  Reorder(FPhotos, ids, "photos");
  ++FGeneration;
}

TStudioSound TStudioSession::AddSound(std::string_view name, std::span<const uint8_t> bytes) {
  if (static_cast<int64_t>(bytes.size()) > MaxSoundBytes) {
    throw EStudioError(TStudioFault::sfTooLarge,
                       "a sound may have at most " + std::to_string(MaxSoundBytes >> 20) + " MB");
  }
  TStudioSound sound;
  sound.Name = UploadFileName(name);
  sound.Id = NewId('s');
  sound.Path = StoreUpload("sounds", sound.Id, sound.Name, bytes);
  sound.Uploaded = true;
  sound.Bytes = static_cast<int64_t>(bytes.size());
  std::lock_guard lock(FLock);
  FSounds.push_back(sound);
  ++FGeneration;
  return sound;
}

void TStudioSession::RemoveSound(const std::string& id) {
  std::lock_guard lock(FLock);
  RemoveById(FSounds, id, "sound");
  ++FGeneration;
}

void TStudioSession::OrderSounds(const std::vector<std::string>& ids) {
  std::lock_guard lock(FLock);
  Reorder(FSounds, ids, "sounds");
  ++FGeneration;
}

void TStudioSession::SetChoices(const json& choices) {
  std::lock_guard lock(FLock);
  MergeChoicesJson(FChoices, choices);
  ++FGeneration;
}

void TStudioSession::MarkUnreadable(const std::string& id, const std::string& error) {
  std::lock_guard lock(FLock);
  for (TStudioPhoto& photo : FPhotos) {
    if (photo.Id == id && photo.Ok) {
      photo.Ok = false;
      photo.Error = error;
      ++FGeneration;
    }
  }
}

std::vector<uint8_t> TStudioSession::Thumbnail(const std::string& id, int32_t size) {
  if (size < 64 || size > 512) {
    throw EStudioError(TStudioFault::sfBadRequest, "size: a thumbnail is 64 to 512 pixels");
  }
  const TStudioPhoto photo = Photo(id);
  if (!photo.Ok) throw EStudioError(TStudioFault::sfUnreadable, photo.Error);
  std::shared_future<std::vector<uint8_t>> made;
  std::promise<std::vector<uint8_t>> making;
  bool mine = false;
  {
    std::lock_guard lock(FThumbs->Lock);
    auto& slot = FThumbs->Made[{id, size}];
    if (!slot.valid()) {
      slot = making.get_future().share();
      mine = true;
    }
    made = slot;
  }
  if (mine) {
    try {
      making.set_value(MakeThumbnail(ReadFileBytes(photo.Path), size));
    } catch (const std::exception&) {
      making.set_exception(std::current_exception());
      MarkUnreadable(id, UnreadablePhoto);
    }
  }
  try {
    return made.get();
  } catch (const std::exception&) {
    throw EStudioError(TStudioFault::sfUnreadable, UnreadablePhoto);
  }
}

void TStudioSession::WaitForThumbnails() {
  std::unique_lock lock(FThumbs->Lock);
  FThumbs->Idle.wait(lock, [&] { return FThumbs->Queue.empty() && FThumbs->BusyThumbnails == 0; });
}

void TStudioSession::WaitForPreviewCopies() {
  std::unique_lock lock(FThumbs->Lock);
  FThumbs->Idle.wait(lock, [&] {
    return FThumbs->Queue.empty() && FThumbs->CopyQueue.empty() && FThumbs->Busy == 0;
  });
}

std::vector<uint8_t> TStudioSession::StyleStrip(int32_t style, int32_t width, int32_t height,
                                                int32_t frames) {
  if (style < 0 || style > 127) {
    throw EStudioError(TStudioFault::sfUnknown, "no style " + std::to_string(style));
  }
  if (width < 16 || width > 320 || height < 16 || height > 180) {
    throw EStudioError(TStudioFault::sfBadRequest, "w, h: a strip's frames are 16x16 to 320x180");
  }
  if (frames < 1 || frames > 24) {
    throw EStudioError(TStudioFault::sfBadRequest, "frames: a strip has 1 to 24 frames");
  }
  std::vector<TStudioPhoto> sources;
  for (const TStudioPhoto& photo : Photos()) {
    if (photo.Ok && sources.size() < 2) sources.push_back(photo);
  }
  std::string key = std::to_string(width) + "x" + std::to_string(height);
  for (const TStudioPhoto& photo : sources) key += " " + photo.Id;
  TThumbs& t = *FThumbs;
  std::lock_guard lock(t.StripLock);
  if (t.StripSource != key) {
    TBitmap pictures[2] = {PlainPicture(width, height, false), PlainPicture(width, height, true)};
    if (sources.size() == 2) {
      try {
        for (size_t i = 0; i < 2; ++i) {
          pictures[i] = FittedOnBlack(DecodeUpright(ReadFileBytes(sources[i].Path), width, height),
                                      width, height);
        }
      } catch (const std::exception&) {
        // A photo that turns out unreadable now: the plain pictures stand in this time.
        pictures[0] = PlainPicture(width, height, false);
        pictures[1] = PlainPicture(width, height, true);
      }
    }
    t.StripOld = std::move(pictures[0]);
    t.StripNew = std::move(pictures[1]);
    t.Strips.clear();
    t.StripSource = key;
  }
  auto& strip = t.Strips[{style, frames}];
  if (strip.empty()) {
    strip = EncodeJpeg(ComposeStyleStrip(t.StripOld, t.StripNew, style, frames), kStripQuality);
  }
  return strip;
}

TBuildRequest TStudioSession::RequestLocked() const {
  TBuildRequest request;
  for (const TStudioPhoto& photo : FPhotos) {
    if (photo.Ok) request.Pictures.push_back(photo.Path);
  }
  for (const TStudioSound& sound : FSounds) request.Sounds.push_back(sound.Path);
  ApplyChoices(FChoices, request);
  return request;
}

std::string TStudioSession::StartBuild(const std::vector<std::string>& targets,
                                       std::string_view name) {
  const std::string fileName(name);
  if (fileName.empty() || !IsPlainFileName(fileName)) {
    throw EStudioError(TStudioFault::sfBadRequest,
                       "name: give the saver a name that can be a file name (no / or \\)");
  }
  if (targets.empty()) {
    throw EStudioError(TStudioFault::sfBadRequest, "targets: choose linux, windows or both");
  }
  TBuildRequest request;
  std::vector<TStudioPhoto> photos;
  {
    std::lock_guard lock(FLock);
    request = RequestLocked();
    photos = FPhotos;
  }
  if (request.Pictures.empty()) {
    throw EStudioError(TStudioFault::sfBadRequest, "add at least one photo the studio can read");
  }
  StoreCaptions(request, photos);
  const std::string id = NewId('b');
  std::vector<TBuildTarget> planned;
  std::set<std::string> seen;
  for (const std::string& target : targets) {
    if (!seen.insert(target).second) continue;
    const bool windows = target == "windows";
    if (target != "linux" && !windows) {
      throw EStudioError(TStudioFault::sfBadRequest,
                         "targets: \"" + target + "\" is neither linux nor windows");
    }
    const std::string& engine = windows ? FSetup.WindowsEngine : FSetup.LinuxEngine;
    if (engine.empty()) {
      throw EStudioError(TStudioFault::sfBadRequest,
                         "targets: no " + target + " engine was found beside the studio");
    }
    const fs::path dir = PathFromUtf8(FWorkPath) / "builds" / id / target;
    fs::create_directories(dir);
    const std::string file = windows ? fileName + ".scr" : fileName;
    planned.push_back({target, engine, Utf8FromPath(dir / PathFromUtf8(file)), file});
  }
  FBuilds->Start(id, request, std::move(planned));
  return id;
}

TBuildStatus TStudioSession::Build(const std::string& job) const {
  const std::optional<TBuildStatus> status = FBuilds->Status(job);
  if (!status) throw EStudioError(TStudioFault::sfUnknown, "no build \"" + job + "\"");
  return *status;
}

void TStudioSession::WaitForBuild(const std::string& job) {
  FBuilds->Wait(job);
}

std::string TStudioSession::PreviewCopy(const std::string& id) {
  const TStudioPhoto photo = Photo(id);
  if (!photo.Ok) throw EStudioError(TStudioFault::sfUnreadable, photo.Error);
  std::shared_future<std::string> made;
  std::promise<std::string> making;
  bool mine = false;
  {
    std::lock_guard lock(FThumbs->Lock);
    auto& slot = FThumbs->Copies[id];
    if (!slot.valid()) {
      slot = making.get_future().share();
      mine = true;
    }
    made = slot;
  }
  if (mine) {
    try {
      TImportOptions options;
      options.Fit = TFitBox{StudioFitWidth, StudioFitHeight};
      const std::vector<uint8_t> file = ReadFileBytes(photo.Path);
      const TImportedPicture imported = ImportPicture(file, options);
      if (imported.Action == TImportAction::iaCopied) {
        making.set_value(photo.Path);
      } else {
        const fs::path dir = PathFromUtf8(FWorkPath) / "preview" / "photos" / id;
        fs::create_directories(dir);
        const fs::path path = dir / PathFromUtf8(photo.Name);
        WriteFileBytes(path, imported.Jpeg);
        making.set_value(Utf8FromPath(path));
      }
    } catch (const std::exception&) {
      making.set_exception(std::current_exception());
      MarkUnreadable(id, UnreadablePhoto);
    }
  }
  try {
    return made.get();
  } catch (const std::exception&) {
    throw EStudioError(TStudioFault::sfUnreadable, UnreadablePhoto);
  }
}

std::string TStudioSession::PreviewSaver() {
  std::lock_guard preview(FPreviewLock);
  TBuildRequest request;
  std::vector<TStudioPhoto> photos;
  TStudioChoices choices;
  uint64_t generation = 0;
  {
    std::lock_guard lock(FLock);
    generation = FGeneration;
    if (generation == FPreviewGeneration) return FPreviewPath;
    request = RequestLocked();
    photos = FPhotos;
    choices = FChoices;
  }
  if (FSetup.LinuxEngine.empty()) {
    throw EStudioError(TStudioFault::sfBadRequest, "no engine beside the studio to preview with");
  }
  if (request.Pictures.empty()) {
    throw EStudioError(TStudioFault::sfBadRequest, "add a photo to see the preview");
  }
  // A picture fitted into the box (or stretched to the screen) looks the same on the preview's
  // screen from a copy already fitted: those copies are made once per photo, so a changed choice
  // does not convert every photo again. Otherwise the show cuts a large picture off at the
  // screen's edges, and the originals are used, as the saver will hold them.
  if (choices.Fit || choices.Stretch) {
    const std::optional<TCaptionTemplate> captions =
        choices.CaptionTemplate.empty()
            ? std::nullopt
            : std::optional<TCaptionTemplate>(std::in_place, "caption.template",
                                              choices.CaptionTemplate);
    const TPlaceFinder places = PlacesFor(captions, stderr);
    std::vector<std::string> copies;
    std::vector<std::string> descriptions;
    for (const TStudioPhoto& photo : photos) {
      if (!photo.Ok) continue;
      try {
        copies.push_back(PreviewCopy(photo.Id));
      } catch (const EStudioError&) {
        continue;  // found unreadable now: left out, as a build leaves it out
      }
      // The copies hold no metadata: each caption comes from the photo itself.
      if (captions) {
        descriptions.push_back(PhotoCaption(*captions, photo, places));
      }
    }
    if (copies.empty()) {
      throw EStudioError(TStudioFault::sfBadRequest, "add a photo to see the preview");
    }
    request.Pictures = std::move(copies);
    request.PictureOptions.Fit = TFitBox{};
    if (captions) {
      request.CaptionTemplate.clear();
      request.Options.Descriptions = std::move(descriptions);
      request.Options.PicCaptions = true;
    }
  }
  StoreCaptions(request, photos);  // the originals: only when not done above
  request.EnginePath = FSetup.LinuxEngine;
  // Each preview saver has a name of its own: a stream may still be showing the one before.
  request.OutputPath = FWorkPath + "preview/show-" + std::to_string(generation);
  const TFilePtr sink = OpenDiscardingFile();
  RunBuild(request, request.EnginePath, sink.get(), sink.get());
  // One preview saver at a time: a stream still showing the old one has it open, and the page
  // replaces that stream when a choice changes anyway.
  if (!FPreviewPath.empty()) {
    std::error_code ec;
    fs::remove(PathFromUtf8(FPreviewPath), ec);
  }
  FPreviewGeneration = generation;
  FPreviewPath = request.OutputPath;
  return FPreviewPath;
}

}  // namespace tovrin
