// Stands for the desktop's handler of an address, for the end-to-end tests: appends "Open" and
// its argument to the file named by TOVRIN_TEST_LOG.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* path = std::getenv("TOVRIN_TEST_LOG");
  if (!path) return 1;
  FILE* f = std::fopen(path, "a");
  if (!f) return 1;
  std::fprintf(f, "Open %s\n", argc > 1 ? argv[1] : "");
  std::fclose(f);
  return 0;
}
