#include "cli/FormatConvertCommand.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <utility>

#include "cli/DvdTitleJob.h"
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
  std::vector<std::string> files;  // with a title: the one DVD
  int title = 0;                   // a DVD title (from 1) to convert; 0 for files
};

bool IsWholeNumber(const std::string& text, size_t maxDigits) {
  return !text.empty() && text.size() <= maxDigits && text.find_first_not_of("0123456789") == std::string::npos;
}

// False with the reason printed.
bool Parse(const std::vector<std::string>& arguments, FormatCommand& command) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (argument == "--format" && hasValue) {
      const std::string& code = arguments[++i];
      command.code = IsWholeNumber(code, 4) ? std::stoi(code) : -1;
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
    } else if (argument == "--title" && hasValue) {
      const std::string& number = arguments[++i];
      command.title = IsWholeNumber(number, 3) ? std::stoi(number) : 0;
      if (command.title < 1) {
        std::fprintf(stderr, "oxbel-cli convert: '%s' is no title number (titles count from 1)\n", number.c_str());
        return false;
      }
    } else if (argument == "--format" || argument == "-d" || argument == "--title") {
      std::fprintf(stderr, "oxbel-cli convert: %s needs a value\n", argument.c_str());
      return false;
    } else {
      command.files.push_back(argument);
    }
  }
  if (command.title > 0 && command.files.size() != 1) {
    std::fprintf(stderr, "oxbel-cli convert: --title takes one DVD (a device, a folder holding VIDEO_TS or an .iso)\n");
    return false;
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

// The engine and the batch the jobs run in, one batch per job so that each
// job's line follows its conversion.
class Session {
 public:
  Session(const FormatCommand& command, IniFile& settings, const IniFile& catalogue, std::string folder)
      : command_(command), settings_(settings), catalogue_(catalogue), folder_(std::move(folder)) {
    engine_.SetDispatcher(&dispatcher_);
  }

  // Converts one job, which `add` hands to the batch (returning its task or
  // -1), and prints its line. 0 converted, 1 failed, 130 stopped.
  int Convert(int key, const std::string& label, const std::string& caption,
              const std::function<int(ConversionBatch&, const TFileJob&)>& add) {
    error_.clear();
    batch_.Begin({command_.code, settings_, catalogue_, folder_, AnswerYes});
    TFileJob job;
    job.ZoomMode = batch_.ZoomMode();
    bool stopped = false;
    if (add(batch_, job) >= 0)
      stopped = RunEngineTasks(engine_, dispatcher_, [&](const TTerminateInfo& info) { batch_.HandleTaskEnd(info); });
    const std::string suffix = "." + format_catalogue::FormatFileExt(catalogue_, command_.code);
    const std::string destination = batch_.Destination(key);
    std::printf("[%s] %s -> %s: %s\n", label.c_str(), caption.c_str(),
                (destination.empty() ? FirstDestinationPath(folder_, caption, suffix) : destination).c_str(),
                error_.empty() ? "converted" : ("failed: " + error_).c_str());
    std::fflush(stdout);
    return stopped ? 130 : error_.empty() ? 0 : 1;
  }

 private:
  const FormatCommand& command_;
  IniFile& settings_;
  const IniFile& catalogue_;
  std::string folder_;
  QueueDispatcher dispatcher_;
  TMediaEngine engine_;
  std::string error_;  // the running job's failure; the engine's ends come back on this thread
  ConversionBatch batch_{engine_,
                         {nullptr, nullptr,
                          [this](int, const std::string& reason) {
                            error_ = reason.empty() ? "conversion failed" : reason;
                          },
                          [this](int) { error_ = "stopped"; }}};
};

int ConvertFiles(const FormatCommand& command, Session& session) {
  int failures = 0;
  const size_t count = command.files.size();
  for (size_t i = 0; i < count; ++i) {
    const std::string& file = command.files[i];
    const std::string label = std::to_string(i + 1) + "/" + std::to_string(count);
    const int result = session.Convert(int(i), label, file, [&](ConversionBatch& batch, const TFileJob& job) {
      return batch.AddFile(int(i), file, job);
    });
    if (result == 130) return 130;
    failures += result;
  }
  return failures > 0 ? 1 : 0;
}

int ConvertDvdTitle(const FormatCommand& command, const IniFile& settings, Session& session) {
  DvdTitleJob title;
  std::string error;
  if (!OpenDvdTitleJob(command.files.front(), command.title, settings, title, error)) {
    std::fprintf(stderr, "oxbel-cli convert: %s\n", error.c_str());
    return 1;
  }
  return session.Convert(0, "1/1", title.caption, [&](ConversionBatch& batch, const TFileJob& job) {
    return batch.AddDvdTitle(0, title.caption, title.address, title.title, job);
  });
}

}  // namespace

int RunFormatConvertCommand(const std::vector<std::string>& arguments) {
  FormatCommand command;
  if (!Parse(arguments, command)) return 1;
  IniFile settings(platform_paths::SettingsFilePath());
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  const std::string folder = OutputFolder(command, settings);
  if (folder.empty()) return 1;
  Session session(command, settings, catalogue, folder);
  return command.title > 0 ? ConvertDvdTitle(command, settings, session) : ConvertFiles(command, session);
}
