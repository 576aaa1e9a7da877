#include "engine_locator.h"

#include <filesystem>
#include <system_error>

#include "core/errors.h"

namespace tovrin {

namespace fs = std::filesystem;

namespace {
#ifdef _WIN32
constexpr const char* kEngineName = "tovrin.exe";
#else
constexpr const char* kEngineName = "tovrin";
#endif
}  // namespace

std::vector<std::string> EngineCandidates(const std::string& toolPath) {
  const fs::path dir = fs::path(toolPath).parent_path();
  return {(dir / kEngineName).string(),
          (dir / ".." / ".." / "src" / "app" / kEngineName).lexically_normal().string(),
          (dir / ".." / "lib" / "tovrin" / kEngineName).lexically_normal().string()};
}

std::string ToolPath(const char* argv0) {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && !self.empty()) return self.string();
  return argv0 != nullptr ? std::string(argv0) : std::string();
}

std::string FindEngineBesideTool(const std::string& toolPath) {
  const std::vector<std::string> candidates = EngineCandidates(toolPath);
  std::string looked;
  for (const std::string& candidate : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
    looked += (looked.empty() ? "" : ", ") + candidate;
  }
  throw EFOpenError("no engine found beside the tool (looked for " + looked +
                    "); give one with --engine ENGINE");
}

}  // namespace tovrin
