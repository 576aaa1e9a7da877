// Which sounds or movies of the package are there to play: the media step extracts what it may
// into the show's folder and leaves the rest out (a name it refuses, a folder it cannot make, a
// package that breaks its rules). An entry is there exactly when its file is in the folder.
//
// The lists are looked up once, when playing starts; the players then pass over the entries that
// are not there instead of failing on them one after the other.
#pragma once

#include <cstdint>
#include <vector>

#include "package/ss_file_locations.h"
#include "show/media_folder.h"

namespace tovrin {

// One flag per entry of the first count entries of names: its file is in the folder. An entry
// without a name, or whose name is not a plain file name, is not there; nothing is there when
// the folder does not exist.
std::vector<bool> ExtractedMedia(const TMediaFolder& folder, const TStringList& names,
                                 int32_t count);

// The first entry at or after from that is there, wrapping round to the start; -1 when none is.
int32_t NextExtracted(const std::vector<bool>& extracted, int32_t from);

}  // namespace tovrin
