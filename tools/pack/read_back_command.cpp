#include "read_back_command.h"

#include <string>

#include "input_file.h"
#include "package/stream.h"
#include "package_report.h"

namespace tovrin {

void RunInspect(const TInspectRequest& request, std::FILE* out) {
  RequireRegularFile(request.FileName);
  TFileStream stream(request.FileName, TFileMode::fmOpenRead);
  TPackageReport report = ReadPackageHead(request.FileName, stream);
  ReadPackageItems(report, stream);
  DescribeMovies(report);
  const std::string text = request.Json ? RenderReportJson(report) : RenderReportText(report);
  std::fwrite(text.data(), 1, text.size(), out);
}

}  // namespace tovrin
