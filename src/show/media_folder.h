// TMediaFolder: the folder a show extracts its sounds and movies into.
//
// It is made fresh under the temporary directory, named "tovrin-" and six letters or digits, with
// a name nobody else has (creation fails rather than reuse an existing folder or follow a link
// planted under that name), readable by the owner alone from the moment it exists (mkdtemp on
// POSIX; on Windows the temporary directory is the user's own), and it is removed with
// everything in it when the object is destroyed or Remove is called. Extracting straight into the
// shared temporary directory would overwrite, and afterwards delete, another program's file of
// the same name.
//
// A show that is killed, crashes or loses its display cannot remove its folder. So a show's
// folder holds a marker naming its owner, the file ".tovrin-owner" with the one line
// "<process id> <start time>\n", and every show first removes the folders of earlier shows whose
// owner is gone (RemoveAbandonedMediaFolders).
#pragma once

#include <string>

#include "platform/system_services.h"

namespace tovrin {

// The owner marker's file name inside a show's folder.
inline constexpr char kMediaFolderOwnerFile[] = ".tovrin-owner";

class TMediaFolder {
 public:
  TMediaFolder() = default;
  ~TMediaFolder() { Remove(); }
  TMediaFolder(const TMediaFolder&) = delete;
  TMediaFolder& operator=(const TMediaFolder&) = delete;

  // Creates a new folder inside parent (which must exist), without an owner marker; raises
  // EFCreateError when no fresh folder can be made. Does nothing when the folder exists already.
  void Create(const std::string& parent);
  // The same for a show: first removes what earlier shows left in parent
  // (RemoveAbandonedMediaFolders), then marks the new folder as this process's. A marker that
  // cannot be written leaves the folder unmarked, never removed by another show.
  void Create(const std::string& parent, const TSystemServices& system);
  // The folder's path ending in the path separator; "" when there is none.
  std::string Path() const;
  bool Exists() const { return !FPath.empty(); }
  // Deletes the folder and what it holds (errors ignored).
  void Remove();

 private:
  std::string FPath;
};

// Removes from parent the folders of shows whose process has ended, and returns how many. Only an
// entry named as TMediaFolder names its folders, that is a real folder (not a link), owned by the
// user (POSIX), and holds a well-formed owner marker is a candidate; it is removed when the
// system reports no running process of the marker's id, or one that started at another time than
// the marker says (the id was given to a later process). Anything else is left alone: another
// user's folder, a folder without a marker, a live show's.
int RemoveAbandonedMediaFolders(const std::string& parent, const TSystemServices& system);

}  // namespace tovrin
