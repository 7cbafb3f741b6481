// oxbel-cli: the command-line front end of the conversion engine.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/ConvertCommand.h"
#include "cli/DvdCommand.h"
#include "cli/FormatsCommand.h"
#include "cli/ProbeCommand.h"
#include "dvd/DvdPlugin.h"
#include "frontend/PlatformPaths.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"

namespace {

constexpr const char* kHelp =
    "Usage: oxbel-cli COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  probe FILE...   describe media files: format, size, duration, bit rate,\n"
    "                  metadata and every stream. Exits 1 when a file cannot be\n"
    "                  read, with the reason on standard error.\n"
    "  convert [NAME=VALUE ...] -i INPUT [NAME=VALUE ...] -o OUTPUT ...\n"
    "                  convert media files. Options (the engine's option names,\n"
    "                  e.g. vcodec=libx264 s=320x240 ab=128000 t=10) apply to the\n"
    "                  next -i or -o; join=1 before -o joins every input into\n"
    "                  that output. Progress goes to standard error; Ctrl-C stops\n"
    "                  and still writes a playable file. Exits 0 when finished,\n"
    "                  1 on an error, 130 when interrupted.\n"
    "  convert --format CODE [-d FOLDER] FILE...\n"
    "                  convert files as the window does with output format CODE\n"
    "                  (see formats) and the settings stored for it in\n"
    "                  $XDG_CONFIG_HOME/oxbel/oxbeldvdto3gpconverter.ini; formats\n"
    "                  the user never changed use the catalogue's defaults. Each\n"
    "                  file becomes NAME_(new).EXT in FOLDER (default: the output\n"
    "                  folder of the settings, else ~/clipforge), or NAME_(new_N).EXT\n"
    "                  when that exists. One line per file on standard output;\n"
    "                  exits 0 when every file converted, 1 when any failed,\n"
    "                  130 when interrupted.\n"
    "  convert --format CODE [-d FOLDER] --title N DVD\n"
    "                  convert title N (from 1) of a DVD (a device, a folder\n"
    "                  holding VIDEO_TS or a UDF .iso) as the window does, with\n"
    "                  the first audio stream, no subtitle and all chapters, into\n"
    "                  \"DVD Title N_(new).EXT\" in FOLDER. Exits 1 when the DVD\n"
    "                  cannot be read or has no title N.\n"
    "  formats         list the output format codes with their names and file\n"
    "                  extensions.\n"
    "  dvd titles PATH list the titles of a DVD (a device, a folder holding\n"
    "                  VIDEO_TS or a UDF .iso): number, duration, frame size,\n"
    "                  video type, chapters, audio and subtitle streams with\n"
    "                  their IDs. Exits 1 when PATH is not a readable DVD.\n"
    "\n"
    "Options:\n"
    "  -h, --help      show this text\n"
    "\n"
    "The media libraries are loaded from the LibAV folder beside the program when\n"
    "they are there, otherwise from the system; the DVD plug-in libdvddec.so too.\n";

bool loadLibraries() {
  auto& loader = TMediaLoader::instance();
  loader.setLibraryDirectory(platform_paths::ProgramFolder() + "LibAV");
  if (loader.loadSet(kEngineLibraries)) return true;
  std::fprintf(stderr, "%s\n", loader.lastError().c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // A file grown past the system's size limit fails its conversion with a
  // message instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (arguments.empty() || arguments[0] == "-h" || arguments[0] == "--help") {
    std::fputs(kHelp, arguments.empty() ? stderr : stdout);
    return arguments.empty() ? 2 : 0;
  }
  const std::string command = arguments[0];
  arguments.erase(arguments.begin());
  if (command != "probe" && command != "convert" && command != "dvd" && command != "formats") {
    std::fprintf(stderr, "oxbel-cli: unknown command '%s' (see oxbel-cli --help)\n", command.c_str());
    return 2;
  }
  // The libraries' own errors explain a failure; lesser messages would clutter
  // the output, and the engine's own failures are printed by the command.
  auto& logger = TMediaLogger::instance();
  logger.SetLogLevel(llError);
  logger.SetOnLog([&logger](const void* sender, std::uint32_t, TLogLevel, const std::string& message) {
    if (sender == &logger) std::fprintf(stderr, "%s\n", message.c_str());
  });
  if (command == "dvd") return RunDvdCommand(arguments);
  if (command == "formats") return RunFormatsCommand(arguments);
  if (!loadLibraries()) return 1;
  // "opendvd:" sources read through the DVD plug-in; without it only they fail.
  if (command != "dvd") LoadDvdPlugin(platform_paths::ProgramFolder() + "LibAV", kDvdInitialisation);
  try {
    return command == "probe" ? RunProbeCommand(arguments) : RunConvertCommand(arguments);
  } catch (const EngineException& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
