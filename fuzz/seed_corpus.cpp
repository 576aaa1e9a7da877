#include "seed_corpus.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "core/paths.h"

namespace tovrin::fuzz {

void HandleSeedCorpusArgument(int argc, char** argv, TSeeds (*seeds)()) {
  constexpr const char* prefix = "-seed_corpus=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix, std::strlen(prefix)) != 0) continue;
    const std::filesystem::path dir = PathFromUtf8(argv[i] + std::strlen(prefix));
    std::filesystem::create_directories(dir);
    int n = 0;
    for (const std::vector<uint8_t>& seed : seeds()) {
      std::ofstream out(dir / ("seed_" + std::to_string(n++)), std::ios::binary);
      out.write(reinterpret_cast<const char*>(seed.data()),
                static_cast<std::streamsize>(seed.size()));
      if (!out.flush()) {
        std::fprintf(stderr, "cannot write the seeds into %s\n", argv[i] + std::strlen(prefix));
        std::exit(1);
      }
    }
    std::exit(0);
  }
}

}  // namespace tovrin::fuzz
