// The fonts a caption may name: those the show finds on this system.
#pragma once

#include <string>
#include <vector>

namespace tovrin {

// Family names, sorted, the show's default face (DejaVu Sans) among them when installed.
std::vector<std::string> CaptionFonts();

}  // namespace tovrin
