#include "frontend/ConversionBatch.h"

#include <stdexcept>
#include <utility>

#include "engine/face/MediaEngine.h"
#include "frontend/DeinterlaceChoice.h"
#include "frontend/DestinationPath.h"
#include "frontend/DvdTaskBuilder.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/TaskBuilder.h"

ConversionBatch::ConversionBatch(TMediaEngine& engine, Callbacks callbacks)
    : engine_(engine), callbacks_(std::move(callbacks)), settings_{1, IniFile(""), IniFile(""), {}, {}} {}

void ConversionBatch::Begin(BatchSettings settings) {
  settings_ = std::move(settings);
  engine_.ClearTasks();
  keys_.clear();
  captions_.clear();
  destinations_.clear();
  converted_ = 0;
  failures_.clear();
}

std::string ConversionBatch::ZoomMode() const { return CurrentZoomMode(settings_.settings, settings_.code); }

// "<folder>/<caption's base name>_(new).<the format's extension>", numbered
// when taken, reserved for the job. Throws DestinationError.
std::string ConversionBatch::Reserve(int key, const std::string& caption) {
  const std::string extension = "." + format_catalogue::FormatFileExt(settings_.catalogue, settings_.code);
  std::string destination = ReserveDestinationPath(settings_.folder, caption, extension);
  destinations_[key] = destination;
  return destination;
}

int ConversionBatch::AddFile(int key, const std::string& file, const TFileJob& job) {
  TInputOptions input;
  input.FileName = file;
  TOutputOptions output;
  TMediaProbe& probe = engine_.Probe();
  const bool probed = probe.LoadFile(file);
  std::string error = probed ? std::string() : probe.LastErrorMessage();
  if (probed) {
    try {
      output.FileName = Reserve(key, file);
      BuildTaskOptions(job, FormatParameters(settings_.settings, settings_.catalogue, settings_.code), output, probe, input,
                       settings_.ask);
      deinterlace_choice::ApplyTo(settings_.settings, input);
    } catch (const std::exception& e) {
      error = e.what();
    }
  }
  probe.Close();
  return AddTask(key, file, input, output, error);
}

int ConversionBatch::AddDvdTitle(int key, const std::string& caption, const std::string& address,
                                 const DvdTitleInfo& title, const TFileJob& job) {
  TInputOptions input;
  input.FileName = address;
  TOutputOptions output;
  std::string error;
  try {
    output.FileName = Reserve(key, caption);
    BuildDvdTaskOptions(job, FormatParameters(settings_.settings, settings_.catalogue, settings_.code), output, title, input,
                        settings_.ask);
  } catch (const std::exception& e) {
    error = e.what();
  }
  return AddTask(key, caption, input, output, error);
}

// The engine task of a built job, unless building it failed with `error`. A
// destination reserved for a job that did not become a task is given up.
int ConversionBatch::AddTask(int key, const std::string& caption, const TInputOptions& input,
                             const TOutputOptions& output, std::string error) {
  int task = error.empty() ? engine_.AddTask(input.FileName, &input) : -1;
  if (task >= 0 && !engine_.SetOutputFile(task, output.FileName, &output)) {
    error = engine_.LastErrorMessage();
    engine_.RemoveTask(task);
    task = -1;
  } else if (task < 0 && error.empty()) {
    error = engine_.LastErrorMessage();
  }
  if (task < 0) {
    if (!output.FileName.empty()) ReleaseDestinationPath(output.FileName);
    Fail(key, caption, error);
    return -1;
  }
  if (int(keys_.size()) <= task) keys_.resize(task + 1, -1);
  keys_[task] = key;
  captions_[key] = caption;
  return task;
}

void ConversionBatch::Fail(int key, const std::string& caption, const std::string& reason) {
  failures_.push_back({key, caption, reason});
  if (callbacks_.failed) callbacks_.failed(key, reason);
}

int ConversionBatch::KeyOfTask(int task) const {
  return task >= 0 && task < int(keys_.size()) ? keys_[task] : -1;
}

std::string ConversionBatch::Destination(int key) const {
  const auto found = destinations_.find(key);
  return found == destinations_.end() ? std::string() : found->second;
}

void ConversionBatch::HandleProgress(const TProgressInfo& info) {
  const int key = KeyOfTask(info.TaskIndex);
  if (key >= 0 && callbacks_.progress) callbacks_.progress(key, info);
}

// Stopped tasks keep their playable part; what a failed one wrote the engine
// has removed.
void ConversionBatch::HandleTaskEnd(const TTerminateInfo& info) {
  const int key = KeyOfTask(info.TaskIndex);
  if (key < 0) return;
  if (info.Finished) {
    ++converted_;
    if (callbacks_.converted) callbacks_.converted(key, info.TaskIndex + 1 == engine_.TaskCount());
  } else if (info.Exception) {
    Fail(key, captions_[key], info.ExceptionMsg);
  } else if (callbacks_.stopped) {
    callbacks_.stopped(key);
  }
}
