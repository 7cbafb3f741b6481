#pragma once

#include <functional>

#include "engine/face/EngineRecords.h"

class QueueDispatcher;
class TMediaEngine;

// Runs the engine's tasks one at a time in worker threads and waits for the
// last, running the engine's events on this thread. Progress goes to standard
// error; each task's end is handed to onTaskEnd on this thread. Ctrl-C (or
// TERM) stops the tasks, which still leaves playable files. Returns true when
// it was interrupted.
bool RunEngineTasks(TMediaEngine& engine, QueueDispatcher& dispatcher,
                    const std::function<void(const TTerminateInfo&)>& onTaskEnd);
