// The project file of a session: its choices, photos and sounds, saved and opened again.
#include <algorithm>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "base64.h"
#include "core/paths.h"
#include "studio_errors.h"
#include "studio_files.h"
#include "studio_session.h"

namespace tovrin {

namespace fs = std::filesystem;
using nlohmann::json;

json TStudioSession::Project() const {
  std::lock_guard lock(FLock);
  const auto files = [](const auto& items) {
    json list = json::array();
    for (const auto& item : items) {
      json entry{{"name", item.Name}};
      if (item.Uploaded) {
        entry["data"] = EncodeBase64(ReadFileBytes(item.Path));
      } else {
        entry["path"] = item.Path;
      }
      list.push_back(std::move(entry));
    }
    return list;
  };
  return json{{"format", "tovrin-studio project"},
              {"version", 1},
              {"choices", ChoicesToJson(FChoices)},
              {"photos", files(FPhotos)},
              {"sounds", files(FSounds)}};
}

void TStudioSession::OpenProject(const json& project) {
  const auto refuse = [](const std::string& what) {
    throw EStudioError(TStudioFault::sfBadRequest, "project: " + what);
  };
  if (!project.is_object() || project.value("format", "") != "tovrin-studio project") {
    refuse("not a project file of the studio");
  }
  TStudioChoices choices;
  if (project.contains("choices")) MergeChoicesJson(choices, project["choices"]);
  struct TEntry {
    std::string Name;
    std::string Path;
    std::optional<std::vector<uint8_t>> Data;
  };
  const auto entries = [&](const char* key) {
    std::vector<TEntry> list;
    if (!project.contains(key)) return list;
    if (!project[key].is_array()) refuse(std::string(key) + " must be a list");
    for (const json& item : project[key]) {
      if (!item.is_object() || !item.contains("name") || !item["name"].is_string()) {
        refuse(std::string(key) + ": each needs a name");
      }
      TEntry entry{UploadFileName(item["name"].get<std::string>()), "", std::nullopt};
      if (item.contains("data") && item["data"].is_string()) {
        entry.Data = DecodeBase64(item["data"].get<std::string>());
        if (!entry.Data) refuse(entry.Name + ": its data is not base64");
      } else if (item.contains("path") && item["path"].is_string()) {
        entry.Path = item["path"].get<std::string>();
      } else {
        refuse(entry.Name + ": needs a path or data");
      }
      list.push_back(std::move(entry));
    }
    return list;
  };
  const std::vector<TEntry> photoEntries = entries("photos");
  const std::vector<TEntry> soundEntries = entries("sounds");

  // The project is whole: now its files are taken in.
  std::vector<TStudioPhoto> photos;
  for (const TEntry& entry : photoEntries) {
    const std::string id = NewId('p');
    if (entry.Data) {
      photos.push_back(
          ReadPhoto(id, entry.Name, StoreUpload("photos", id, entry.Name, *entry.Data), true));
      continue;
    }
    // A project names files anywhere; the studio reads only what lies in the folders given.
    const bool inside = std::any_of(
        FSetup.Folders.begin(), FSetup.Folders.end(),
        [&](const std::string& given) { return IsAtOrUnder(PathFromUtf8(entry.Path), given); });
    if (!inside) {
      TStudioPhoto photo;
      photo.Id = id;
      photo.Name = entry.Name;
      photo.Path = entry.Path;
      photo.Ok = false;
      photo.Error =
          "outside the folders the studio was started with; start it with this "
          "photo's folder";
      photos.push_back(std::move(photo));
      continue;
    }
    photos.push_back(ReadPhoto(id, entry.Name, entry.Path, false));
  }
  std::vector<TStudioSound> sounds;
  for (const TEntry& entry : soundEntries) {
    TStudioSound sound;
    sound.Id = NewId('s');
    sound.Name = entry.Name;
    if (entry.Data) {
      sound.Path = StoreUpload("sounds", sound.Id, entry.Name, *entry.Data);
      sound.Uploaded = true;
      sound.Bytes = static_cast<int64_t>(entry.Data->size());
    } else {
      const bool inside = std::any_of(
          FSetup.Folders.begin(), FSetup.Folders.end(),
          [&](const std::string& given) { return IsAtOrUnder(PathFromUtf8(entry.Path), given); });
      if (!inside) refuse(entry.Name + ": outside the folders the studio was started with");
      std::error_code ec;
      sound.Path = entry.Path;
      sound.Bytes = static_cast<int64_t>(fs::file_size(PathFromUtf8(entry.Path), ec));
      if (ec) refuse(entry.Name + ": cannot be read at " + entry.Path);
    }
    sounds.push_back(std::move(sound));
  }
  {
    std::lock_guard lock(FLock);
    FChoices = std::move(choices);
    FPhotos = photos;
    FSounds = std::move(sounds);
    ++FGeneration;
  }
  QueueThumbnails(photos);
}

}  // namespace tovrin
