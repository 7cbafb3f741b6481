#include "cli/ConvertCommand.h"

#include <algorithm>
#include <cstdio>

#include "cli/EngineRun.h"
#include "cli/FormatConvertCommand.h"
#include "engine/face/MediaEngine.h"
#include "media/Dispatcher.h"

namespace {

// The files of the command line with the options given before each of them.
struct FileArgument {
  bool output = false;
  std::string name;
  std::string options;  // "name=value" lines
  bool join = false;
};

std::vector<FileArgument> parseArguments(const std::vector<std::string>& arguments) {
  std::vector<FileArgument> files;
  FileArgument next;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if ((argument == "-i" || argument == "-o") && i + 1 < arguments.size()) {
      next.output = argument == "-o";
      next.name = arguments[++i];
      files.push_back(next);
      next = FileArgument{};
      continue;
    }
    const auto equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const std::string value = equals == std::string::npos ? "1" : argument.substr(equals + 1);
    if (name == "join") next.join = value != "0";
    else next.options += name + "=" + value + "\n";
  }
  if (!next.options.empty()) std::fprintf(stderr, "oxbel-cli convert: options after the last file are ignored\n");
  return files;
}

// Adds the task; false with the reason printed.
bool addFiles(TMediaEngine& engine, const std::vector<FileArgument>& files) {
  int task = -1;
  for (const auto& file : files) {
    bool added;
    if (file.output) {
      TOutputOptions options;
      options.ExtOptions = file.options;
      options.Join = file.join;
      added = task >= 0 && engine.SetOutputFile(task, file.name, &options);
      if (task < 0) std::fprintf(stderr, "an input file must come before %s\n", file.name.c_str());
    } else {
      TInputOptions options;
      options.ExtOptions = file.options;
      if (task < 0) {
        task = engine.AddTask(file.name, &options);
        added = task >= 0;
      } else {
        added = engine.AddInput(task, file.name, &options);
      }
    }
    if (!added) {
      if (!engine.LastErrorMessage().empty()) std::fprintf(stderr, "%s\n", engine.LastErrorMessage().c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& arguments) {
  if (std::find(arguments.begin(), arguments.end(), "--format") != arguments.end())
    return RunFormatConvertCommand(arguments);
  QueueDispatcher dispatcher;
  TMediaEngine engine;
  engine.SetDispatcher(&dispatcher);
  const auto files = parseArguments(arguments);
  if (!addFiles(engine, files)) return 1;
  if (engine.TaskCount() == 0) {
    std::fprintf(stderr, "oxbel-cli convert: no input file (see oxbel-cli --help)\n");
    return 1;
  }
  TTerminateInfo taskEnd;
  const bool stopped = RunEngineTasks(engine, dispatcher, [&](const TTerminateInfo& info) { taskEnd = info; });
  if (taskEnd.Exception) {
    std::fprintf(stderr, "%s\n", taskEnd.ExceptionMsg.c_str());
    return 1;
  }
  return stopped ? 130 : 0;
}
