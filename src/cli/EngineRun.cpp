#include "cli/EngineRun.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <mutex>
#include <thread>

#include <unistd.h>

#include "engine/face/MediaEngine.h"
#include "media/Dispatcher.h"

namespace {

std::atomic<bool> interrupted{false};  // set by the signal handler, read by the main loop

// The first signal stops the conversion and lets it finish the file; a second
// one ends the program at once.
void requestStop(int) {
  if (interrupted.exchange(true)) _exit(130);
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

bool RunEngineTasks(TMediaEngine& engine, QueueDispatcher& dispatcher,
                    const std::function<void(const TTerminateInfo&)>& onTaskEnd) {
  engine.OnProgress = [](TCustomMediaEngine*, TProgressInfo* info) { printProgress(*info); };
  // Task ends arrive on a notification thread; they are handled here.
  std::mutex endsLock;
  std::deque<TTerminateInfo> ends;
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    const std::lock_guard lock(endsLock);
    ends.push_back(info);
  };
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  engine.StartTask(1);
  bool stopped = false, allEnded = false;
  while (!allEnded) {
    dispatcher.pump();
    if (interrupted && !stopped) {
      stopped = true;
      engine.Stop(true);
    }
    std::deque<TTerminateInfo> arrived;
    {
      const std::lock_guard lock(endsLock);
      arrived.swap(ends);
    }
    for (const auto& info : arrived) {
      if (info.TaskIndex == -1) {
        allEnded = true;
        continue;
      }
      std::fprintf(stderr, "\n");
      onTaskEnd(info);
    }
    if (!allEnded) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  engine.OnProgress = nullptr;
  engine.OnTerminate = nullptr;
  return stopped;
}
