// Checks on the files the tool reads.
#pragma once

#include <string>

namespace tovrin {

// Raises EFOpenError naming the path unless it is an existing regular file (or a link to one):
// a directory or a device would otherwise open and report a nonsense size.
void RequireRegularFile(const std::string& path);

}  // namespace tovrin
