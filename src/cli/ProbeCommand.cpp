#include "cli/ProbeCommand.h"

#include <cstdio>

#include "probe/MediaProbe.h"

namespace {

// The turn a video stream's display matrix asks for, which the description
// above leaves out; conversions and the player show the picture turned so.
void PrintOrientations(TMediaProbe& probe) {
  for (int index = 0; index < probe.StreamCount(); ++index) {
    if (!probe.IsVideoStream(index)) continue;
    const TVideoStreamInfo video = probe.VideoStreamInfo(index);
    if (video.Rotation == 0 && !video.Mirrored) continue;
    std::printf("Stream #%d: shown %dx%d, rotated %d degrees clockwise%s\n", index, video.Width, video.Height,
                video.Rotation, video.Mirrored ? " after a mirror" : "");
  }
}

}  // namespace

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
    PrintOrientations(probe);
    probe.Close();
  }
  return exitCode;
}
