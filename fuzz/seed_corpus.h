// Seed corpora of the fuzz programs: started with -seed_corpus=DIR, a program writes the inputs
// its seeds() function makes (with the project's own writers) into DIR and ends.
#pragma once

#include <cstdint>
#include <vector>

namespace tovrin::fuzz {

using TSeeds = std::vector<std::vector<uint8_t>>;

// Call from LLVMFuzzerInitialize. Without the argument it returns and the fuzzing goes on.
void HandleSeedCorpusArgument(int argc, char** argv, TSeeds (*seeds)());

}  // namespace tovrin::fuzz
