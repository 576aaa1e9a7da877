// The preview: the first picture of the package drawn into the screen-saver host's preview
// window, which is then watched until it is hidden or destroyed.
#pragma once

#include <string>

#include "platform/platform.h"

namespace tovrin {

// hostWindowArg is the second command-line argument, the host window's handle in decimal (a
// strict conversion: anything else raises EConvertError). Returns when the host window has been
// hidden or destroyed, or at once when the program file has no package. Read and decode errors
// raise.
void RunPreview(TPlatform& platform, const std::string& hostWindowArg);

}  // namespace tovrin
