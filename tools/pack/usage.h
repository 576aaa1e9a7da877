// The text of `tovrin-pack --help`.
#pragma once

namespace tovrin {

extern const char* const PackUsageText;

}  // namespace tovrin
