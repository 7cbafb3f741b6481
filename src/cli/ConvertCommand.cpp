#include "cli/ConvertCommand.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <thread>

#include <unistd.h>

#include "engine/Dispatcher.h"
#include "engine/MediaEngine.h"

namespace {

std::atomic<bool> interrupted{false};  // set by the signal handler, read by the main loop

// The first signal stops the conversion and lets it finish the file; a second
// one ends the program at once.
void requestStop(int) {
  if (interrupted.exchange(true)) _exit(130);
}

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

void printProgress(const TProgressInfo& info) {
  std::string percent;
  if (info.TotalDuration > 0)
    percent = " (" + std::to_string(std::min<std::int64_t>(100, info.CurrentDuration * 100 / info.TotalDuration)) + "%)";
  std::fprintf(stderr, "frame=%5d fps=%3d q=%3.1f size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s%s\r",
               info.FrameNumber, info.FramesPerSecond, info.Quality, double(info.CurrentSize) / 1024,
               double(info.CurrentDuration) / 1e6, info.BitRate, percent.c_str());
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& arguments) {
  QueueDispatcher dispatcher;
  TMediaEngine engine;
  engine.SetDispatcher(&dispatcher);
  const auto files = parseArguments(arguments);
  if (!addFiles(engine, files)) return 1;
  if (engine.TaskCount() == 0) {
    std::fprintf(stderr, "oxbel-cli convert: no input file (see oxbel-cli --help)\n");
    return 1;
  }
  engine.OnProgress = [](TCustomMediaEngine*, TProgressInfo* info) { printProgress(*info); };
  TTerminateInfo taskEnd;
  std::atomic<bool> allEnded{false};
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    if (info.TaskIndex == -1) allEnded = true;
    else taskEnd = info;
  };
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  engine.StartTask(1);
  bool stopped = false;
  while (!allEnded) {
    dispatcher.pump();
    if (interrupted && !stopped) {
      stopped = true;
      engine.Stop(true);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  std::fprintf(stderr, "\n");
  if (taskEnd.Exception) {
    std::fprintf(stderr, "%s\n", taskEnd.ExceptionMsg.c_str());
    return 1;
  }
  return stopped ? 130 : 0;
}
