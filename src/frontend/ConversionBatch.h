#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dvddec/dvddec.h"
#include "engine/face/EngineRecords.h"
#include "frontend/FileJob.h"
#include "frontend/IniFile.h"
#include "frontend/TargetSize.h"

class TMediaEngine;

// What a batch reads once at its start: the format to convert to, the stored
// choices, the catalogue, the folder the outputs go to and whom to ask about
// an unusable frame size.
struct BatchSettings {
  int code;
  IniFile settings;
  IniFile catalogue;
  std::string folder;
  AskQuestion ask;
};

// A job that could not be converted, in the order the failures came.
struct BatchFailure {
  int key = -1;
  std::string caption;
  std::string reason;  // empty when the engine gave none
};

// One conversion batch without Qt, shared by the window and the command line:
// each job (keyed by the caller, a job-list row or a file's position) and the
// stored settings become one engine task writing to a reserved destination.
// It keeps which task belongs to which job, counts what converted and records
// what failed. The engine's progress and task ends are handed in by the caller
// on its own thread and come back keyed by job through the callbacks; a
// failed conversion's output the engine removes, a destination no task took
// over the batch gives up.
class ConversionBatch {
 public:
  struct Callbacks {
    std::function<void(int key, const TProgressInfo& info)> progress;
    std::function<void(int key, bool lastTask)> converted;
    std::function<void(int key, const std::string& reason)> failed;
    std::function<void(int key)> stopped;  // ended by a stop request, its output kept
  };

  ConversionBatch(TMediaEngine& engine, Callbacks callbacks);

  // Starts a new batch: the engine's tasks and the last batch's record go.
  void Begin(BatchSettings settings);
  // The fitting mode stored for the batch's format.
  std::string ZoomMode() const;

  // Adds the engine task of a file; the task's index, or -1 with the failure
  // recorded and reported.
  int AddFile(int key, const std::string& file, const TFileJob& job);
  // Adds the engine task of a DVD title read from `address`, its full
  // "opendvd:" name; the caption names its destination.
  int AddDvdTitle(int key, const std::string& caption, const std::string& address, const DvdTitleInfo& title,
                  const TFileJob& job);

  void HandleProgress(const TProgressInfo& info);
  void HandleTaskEnd(const TTerminateInfo& info);

  // The job of an engine task, -1 for none.
  int KeyOfTask(int task) const;
  int TaskCount() const { return int(keys_.size()); }
  // The destination reserved for a job, empty when none was.
  std::string Destination(int key) const;
  int Converted() const { return converted_; }
  const std::vector<BatchFailure>& Failures() const { return failures_; }
  void ClearFailures() { failures_.clear(); }

 private:
  std::string Reserve(int key, const std::string& caption);
  int AddTask(int key, const std::string& caption, const TInputOptions& input, const TOutputOptions& output,
              std::string error);
  void Fail(int key, const std::string& caption, const std::string& reason);

  TMediaEngine& engine_;
  Callbacks callbacks_;
  BatchSettings settings_;
  // All below belong to the caller's thread.
  std::vector<int> keys_;  // the job of each engine task
  std::map<int, std::string> captions_, destinations_;  // by job
  int converted_ = 0;
  std::vector<BatchFailure> failures_;
};
