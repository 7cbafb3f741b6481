#include "cli/FormatConvertCommand.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "cli/EngineRun.h"
#include "engine/face/MediaEngine.h"
#include "frontend/ConversionBatch.h"
#include "frontend/DestinationPath.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/OutputFolder.h"
#include "frontend/PlatformPaths.h"
#include "frontend/SettingsKeys.h"
#include "media/Dispatcher.h"

namespace {

struct FormatCommand {
  int code = -1;
  std::string folder;  // empty: the settings' output folder
  std::vector<std::string> files;
};

// False with the reason printed.
bool Parse(const std::vector<std::string>& arguments, FormatCommand& command) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--format" && hasValue) {
      const std::string& code = arguments[++i];
      command.code = code.find_first_not_of("0123456789") == std::string::npos && code.size() < 5 ? std::stoi(code) : -1;
      if (command.code < 0 || !format_catalogue::FormatName(command.code)) {
        std::fprintf(stderr, "oxbel-cli convert: unknown format code '%s' (see oxbel-cli formats)\n", code.c_str());
        return false;
      }
    } else if (argument == "-d" && hasValue) {
      command.folder = arguments[++i];
      if (command.folder.empty()) {
        std::fprintf(stderr, "oxbel-cli convert: the folder after -d is empty\n");
        return false;
      }
    } else if (argument == "--format" || argument == "-d") {
      std::fprintf(stderr, "oxbel-cli convert: %s needs a value\n", argument.c_str());
      return false;
    } else {
      command.files.push_back(argument);
    }
  }
  if (command.files.empty()) std::fprintf(stderr, "oxbel-cli convert: no input file (see oxbel-cli --help)\n");
  return !command.files.empty();
}

// The folder to write to, created when needed; empty with the reason printed.
std::string OutputFolder(const FormatCommand& command, IniFile& settings) {
  if (command.folder.empty())
    return OutputFolderOrDefault(settings, settings_keys::kOutPutDir,
                                 [](const std::string& text) { std::fprintf(stderr, "Warning: %s\n", text.c_str()); });
  std::error_code error;
  std::filesystem::create_directories(command.folder, error);
  if (std::filesystem::is_directory(command.folder, error)) return command.folder;
  std::fprintf(stderr, "oxbel-cli convert: cannot create output directory %s\n", command.folder.c_str());
  return {};
}

// Without anyone to ask, an unusable frame size takes the offered default.
bool AnswerYes(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s Yes\n", caption.c_str(), text.c_str());
  return true;
}

}  // namespace

int RunFormatConvertCommand(const std::vector<std::string>& arguments) {
  FormatCommand command;
  if (!Parse(arguments, command)) return 1;
  IniFile settings(platform_paths::SettingsFilePath());
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  const std::string folder = OutputFolder(command, settings);
  if (folder.empty()) return 1;
  const std::string suffix = "." + format_catalogue::FormatFileExt(catalogue, command.code);

  QueueDispatcher dispatcher;
  TMediaEngine engine;
  engine.SetDispatcher(&dispatcher);
  std::string error;
  ConversionBatch batch(engine, {nullptr, nullptr,
                                 [&](int, const std::string& reason) {
                                   error = reason.empty() ? "conversion failed" : reason;
                                 },
                                 [&](int) { error = "stopped"; }});
  int failures = 0;
  const size_t count = command.files.size();
  for (size_t i = 0; i < count; ++i) {
    const std::string& file = command.files[i];
    error.clear();
    // One batch per file, so that each file's line follows its conversion.
    batch.Begin({command.code, settings, catalogue, folder, AnswerYes});
    TFileJob job;
    job.ZoomMode = batch.ZoomMode();
    bool stopped = false;
    if (batch.AddFile(int(i), file, job) >= 0)
      stopped = RunEngineTasks(engine, dispatcher, [&](const TTerminateInfo& info) { batch.HandleTaskEnd(info); });
    const std::string destination = batch.Destination(int(i));
    std::printf("[%zu/%zu] %s -> %s: %s\n", i + 1, count, file.c_str(),
                (destination.empty() ? FirstDestinationPath(folder, file, suffix) : destination).c_str(),
                error.empty() ? "converted" : ("failed: " + error).c_str());
    std::fflush(stdout);
    if (stopped) return 130;
    if (!error.empty()) ++failures;
  }
  return failures > 0 ? 1 : 0;
}
