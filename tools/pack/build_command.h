// `tovrin-pack build`: writes a finished screen saver.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "caption_template.h"
#include "command_line.h"
#include "places/place_finder.h"

namespace tovrin {

// Checks every input, lays the package out, refuses a result of 2 GiB or more, then writes the
// output through a temporary file. Prints a summary to `out` and warnings to `err`. Raises an
// Exception whose message names the file at fault; the output is then left untouched.
// toolPath: the running tool, to find the engine beside it when the request names none.
void RunBuild(const TBuildRequest& request, const std::string& toolPath, std::FILE* out,
              std::FILE* err);

// The places {place} is looked up in: the built-in table when captions asks for it, else none.
// A tool built without the table says so on err and leaves {place} out.
TPlaceFinder PlacesFor(const std::optional<TCaptionTemplate>& captions, std::FILE* err);

}  // namespace tovrin
