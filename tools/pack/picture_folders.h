// Folders given where pictures are expected: `tovrin-pack build -o X.scr ~/Pictures/Holiday`.
#pragma once

#include <string>
#include <vector>

namespace tovrin {

struct TPictureInputs {
  std::vector<std::string> Files;     // in the order they are to be shown
  std::vector<std::string> Warnings;  // sentences for the user
};

// Replaces every folder among `inputs` by the picture files in it (by extension: see
// PictureTypeOfName), sorted by name (by their paths below the folder, compared byte by byte);
// with `recursive`, the files of its subfolders too, otherwise only its own. Other inputs are
// kept as given, in their place. Files of a kind this build cannot read are left out with a
// warning; other files are left out silently (sidecar files, notes). Symbolic links to folders
// are not followed below a given folder. Raises EFOpenError naming the folder when it cannot be
// read, and when it holds no picture at all.
TPictureInputs ExpandPictureInputs(const std::vector<std::string>& inputs, bool recursive);

}  // namespace tovrin
