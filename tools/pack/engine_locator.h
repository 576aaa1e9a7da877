// Finds the engine executable that was built or installed beside tovrin-pack.
#pragma once

#include <string>
#include <vector>

namespace tovrin {

// The places an engine beside the tool may be, in the order they are tried: the tool's own
// directory (the Windows zip), then ../../src/app of it (the layout of a build tree:
// tools/pack/tovrin-pack and src/app/tovrin), then ../lib/tovrin of it (the installed layout:
// PREFIX/bin/tovrin-pack and PREFIX/lib/tovrin/tovrin, whatever the prefix).
std::vector<std::string> EngineCandidates(const std::string& toolPath);

// The running tool's own path: /proc/self/exe where there is one, otherwise argv0.
std::string ToolPath(const char* argv0);

// The first candidate that is a regular file. Raises EFOpenError listing the places looked at, and
// saying to use --engine, when there is none.
std::string FindEngineBesideTool(const std::string& toolPath);

}  // namespace tovrin
