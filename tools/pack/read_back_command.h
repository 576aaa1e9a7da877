// `tovrin-pack inspect` and `tovrin-pack extract`: reading a finished screen saver back.
#pragma once

#include <cstdio>

#include "command_line.h"

namespace tovrin {

// Prints the trailer, the settings and a line per item (or the JSON form) to `out`. Raises an
// Exception starting with the file name and carrying the reader's message when the package cannot
// be read; nothing is printed then.
void RunInspect(const TInspectRequest& request, std::FILE* out);

// Writes the pictures as .jpg files and the sounds and movies under their stored names into the
// directory. Every item is read and every name checked before the first file is written. The
// sounds and movies are written as the engine would extract them, all or none: when the package's
// media break the engine's rules (media_plan.h) the pictures are still written, and then an
// EUnsafeContent naming the rule is raised. A picture whose stored name cannot be used is written
// as picture-N.jpg; a name starting with a dot is refused; a name already taken in the directory
// is refused unless request.Overwrite. Prints a summary to `out` and notes to `err`.
void RunExtract(const TExtractRequest& request, std::FILE* out, std::FILE* err);

}  // namespace tovrin
