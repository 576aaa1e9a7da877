// TMediaFolder: the folder a show extracts its sounds and movies into.
//
// It is made fresh under the temporary directory, with a name nobody else has (creation fails
// rather than reuse an existing folder or follow a link planted under that name), readable by
// the owner alone, and it is removed with everything in it when the object is destroyed or
// Remove is called. Extracting straight into the shared temporary directory would overwrite, and
// afterwards delete, another program's file of the same name.
#pragma once

#include <string>

namespace tovrin {

class TMediaFolder {
 public:
  TMediaFolder() = default;
  ~TMediaFolder() { Remove(); }
  TMediaFolder(const TMediaFolder&) = delete;
  TMediaFolder& operator=(const TMediaFolder&) = delete;

  // Creates a new folder inside parent (which must exist); raises EFCreateError when no fresh
  // folder can be made. Does nothing when the folder exists already.
  void Create(const std::string& parent);
  // The folder's path ending in the path separator; "" when there is none.
  std::string Path() const;
  bool Exists() const { return !FPath.empty(); }
  // Deletes the folder and what it holds (errors ignored).
  void Remove();

 private:
  std::string FPath;
};

}  // namespace tovrin
