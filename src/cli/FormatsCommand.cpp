#include "cli/FormatsCommand.h"

#include <cstdio>

#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"

int RunFormatsCommand(const std::vector<std::string>& arguments) {
  if (!arguments.empty()) {
    std::fprintf(stderr, "oxbel-cli formats: takes no arguments\n");
    return 2;
  }
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  for (const auto& format : format_catalogue::AllFormats())
    std::printf("%3d  %-50s .%s\n", format.code, format.name,
                format_catalogue::FormatFileExt(catalogue, format.code).c_str());
  return 0;
}
