// XScreenSaver's settings description of a Tovrin saver, as share/xscreensaver/tovrin.xml holds
// it; built into the tool so that `tovrin-pack install` works wherever the tool stands.
#pragma once

#include <string_view>

namespace tovrin {

std::string_view SaverDescriptionTemplate();

}  // namespace tovrin
