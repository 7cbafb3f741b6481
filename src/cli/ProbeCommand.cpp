#include "cli/ProbeCommand.h"

#include <cstdio>

#include "engine/MediaProbe.h"

int RunProbeCommand(const std::vector<std::string>& files) {
  if (files.empty()) {
    std::fprintf(stderr, "oxbel-cli probe: no file given (see oxbel-cli --help)\n");
    return 1;
  }
  int exitCode = 0;
  TMediaProbe probe;
  for (size_t i = 0; i < files.size(); ++i) {
    if (!probe.LoadFile(files[i])) {
      std::fprintf(stderr, "%s\n", probe.LastErrorMessage().c_str());
      exitCode = 1;
      continue;
    }
    std::printf("%s%s\n", i ? "\n" : "", probe.FileInfoText().c_str());
    probe.Close();
  }
  return exitCode;
}
