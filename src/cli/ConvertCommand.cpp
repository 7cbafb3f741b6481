#include "cli/ConvertCommand.h"

#include <csignal>
#include <cstdio>

#include "engine/EngineException.h"
#include "engine/EngineTask.h"

namespace {

TCustomEngineTask* runningTask = nullptr;  // set while the task runs; read by the signal handler

void requestStop(int) {
  if (runningTask) runningTask->RequestStop();
}

// Options before an -i or -o are applied just before that file opens, so they
// belong to it, as the engine's accumulate-then-consume rule says.
bool openFiles(TCustomEngineTask& task, const std::vector<std::string>& arguments) {
  bool join = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if ((argument == "-i" || argument == "-o") && i + 1 < arguments.size()) {
      const std::string& file = arguments[++i];
      const bool opened = argument == "-i" ? task.OpenInputFile(file) : task.OpenOutputFile(file, join) >= 0;
      if (!opened) {
        std::fprintf(stderr, "%s\n", task.ErrorText().c_str());
        return false;
      }
      join = false;
      continue;
    }
    const auto equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const std::string value = equals == std::string::npos ? "1" : argument.substr(equals + 1);
    if (name == "join") {
      join = value != "0";
      continue;
    }
    task.ApplyOption(name, value);
  }
  return true;
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& arguments) {
  TCustomEngineTask task;
  try {
    if (!openFiles(task, arguments)) return 1;
  } catch (const EngineException& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  task.SetProgressHandler([](const TaskProgress& progress) { std::fprintf(stderr, "%s\r", progress.text.c_str()); });
  runningTask = &task;
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  task.Run();
  runningTask = nullptr;
  std::fprintf(stderr, "\n");
  if (task.Exception()) {
    std::fprintf(stderr, "%s\n", task.ErrorText().c_str());
    return 1;
  }
  return task.StopRequested() ? 130 : 0;
}
