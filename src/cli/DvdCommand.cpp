#include "cli/DvdCommand.h"

#include <cstdio>
#include <cstring>

#include "dvd/DvdPlugin.h"
#include "frontend/PlatformPaths.h"

namespace {

std::string Duration(double seconds) {
  const long long milliseconds = seconds > 0 ? (long long)(seconds * 1000 + 0.5) : 0;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%03lld", milliseconds / 3600000, milliseconds / 60000 % 60,
                milliseconds / 1000 % 60, milliseconds % 1000);
  return text;
}

// Up to the first zero character, and never past the field.
std::string Description(const char (&text)[64]) { return std::string(text, strnlen(text, sizeof text)); }

void PrintTitle(int index, const DvdTitleInfo& info) {
  std::printf("Title %d: %s, %dx%d, %s, %d chapter%s\n", index + 1, Duration(info.Duration).c_str(), info.Width,
              info.Height, DvdStreamTypeName(info.VideoType).c_str(), info.ChapterCount,
              info.ChapterCount == 1 ? "" : "s");
  for (int i = 0; i < info.AudioCount && i < 8; ++i)
    std::printf("  Audio %d: %s\n", info.Audio[i].ID, Description(info.Audio[i].Description).c_str());
  for (int i = 0; i < info.SubtitleCount && i < 32; ++i)
    std::printf("  Subtitle %d: %s\n", info.Subtitles[i].ID, Description(info.Subtitles[i].Description).c_str());
}

int ListTitles(const std::string& path) {
  if (!LoadDvdPlugin(platform_paths::ProgramFolder() + "LibAV", kDvdInitialisation)) {
    std::fprintf(stderr, "%s\n", DvdLastError().c_str());
    return 1;
  }
  const int count = DVDEnumTitle(path);
  if (count < 1) {
    std::fprintf(stderr, "oxbel-cli dvd titles: %s is not a readable DVD: %s\n", path.c_str(),
                 DvdReader()->lastError());
    return 1;
  }
  for (int index = 0; index < count; ++index) {
    DvdTitleInfo info;
    if (DVDGetTitle(index, info))
      PrintTitle(index, info);
    else
      std::printf("Title %d: invalid\n", index + 1);
  }
  return 0;
}

}  // namespace

int RunDvdCommand(const std::vector<std::string>& arguments) {
  if (arguments.size() != 2 || arguments[0] != "titles") {
    std::fprintf(stderr, "oxbel-cli dvd: expected 'dvd titles PATH' (see oxbel-cli --help)\n");
    return 2;
  }
  return ListTitles(arguments[1]);
}
