#include "engine/setup/EngineTask.h"

#include <unistd.h>

#include "dvd/DvdInput.h"
#include "engine/run/TranscodeRun.h"
#include "engine/setup/HookModules.h"
#include "engine/setup/PartialOutput.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

TCustomEngineTask::TCustomEngineTask() : hookModules_(std::make_unique<HookModuleList>()) {}

TCustomEngineTask::~TCustomEngineTask() {
  RequestStop();
  Release();
}

void TCustomEngineTask::RequestStop() {
  stopRequested_ = true;
  Resume();
}

void TCustomEngineTask::Pause() {
  std::lock_guard lock(pauseLock_);
  paused_ = true;
}

void TCustomEngineTask::Resume() {
  {
    std::lock_guard lock(pauseLock_);
    paused_ = false;
  }
  pauseChanged_.notify_all();
}

bool TCustomEngineTask::Paused() const {
  std::lock_guard lock(pauseLock_);
  return paused_;
}

void TCustomEngineTask::WaitWhilePaused() {
  std::unique_lock lock(pauseLock_);
  pauseChanged_.wait(lock, [this] { return !paused_ || stopRequested_; });
}

bool TCustomEngineTask::WaitWhilePausedFor(std::chrono::milliseconds slice) {
  std::unique_lock lock(pauseLock_);
  return !pauseChanged_.wait_for(lock, slice, [this] { return !paused_ || stopRequested_; });
}

void TCustomEngineTask::ApplyOption(const std::string& name, const std::string& value) {
  options_.Apply(name, value, *this);
}

void TCustomEngineTask::ApplyTarget(const std::string& value, const std::string& fallbackNorm) {
  options_.ApplyTarget(value, fallbackNorm, *this);
}

void TCustomEngineTask::Fail(const std::string& message) {
  errorText_ = message;
  TMediaLogger::instance().Log(this, llError, message);
}

bool TCustomEngineTask::OpenInputFile(const std::string& fileName) {
  try {
    OpenInputOrThrow(fileName);
    return true;
  } catch (const EngineException& e) {
    Fail(e.what());
    return false;
  }
}

int TCustomEngineTask::OpenOutputFile(const std::string& fileName, bool join) {
  try {
    OpenOutputOrThrow(fileName, join);
    return int(outputs_.size());
  } catch (const EngineException& e) {
    Fail(e.what());
    return -1;
  }
}

void TCustomEngineTask::ClearPendingCodecs() {
  for (auto& name : options_.pending.codecName) name.clear();
  options_.pending.tvStandard.clear();
}

std::vector<AVRational> TCustomEngineTask::InputVideoFrameRates() const {
  std::vector<AVRational> rates;
  for (const auto& input : inputs_)
    for (unsigned i = 0; i < input.context->nb_streams; ++i)
      if (input.context->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
        rates.push_back(input.context->streams[i]->r_frame_rate);
  return rates;
}

void TCustomEngineTask::AddHookModule(const std::vector<std::string>& words) { hookModules_->Add(words); }

void TCustomEngineTask::AddStreamToLastOutput(StreamKind kind) {
  if (outputs_.empty()) throw EngineException("At least one output file must be specified");
  AddOutputStream(outputs_.back(), kind);
}

namespace {

bool IsStorageError(int result) {
  return result == AVERROR(ENOSPC) || result == AVERROR(EFBIG) || result == AVERROR(EDQUOT) || result == AVERROR(EIO);
}

// Closes the file. A local file that was not published is removed: it is
// incomplete, failed, or received nothing at all.
void closeOutput(TCustomEngineTask::OutputFile& output) {
  AVFormatContext*& context = output.context;
  if (!context) return;
  if (!(context->oformat->flags & AVFMT_NOFILE) && context->pb) media::avio_closep(&context->pb);
  media::avformat_free_context(context);
  context = nullptr;
  if (!output.partialPath.empty()) ::unlink(output.partialPath.c_str());
  output.partialPath.clear();
}

}  // namespace

void TCustomEngineTask::OutputFile::CheckWrite(int result, const std::string& failure) const {
  const int ioError = context && context->pb && context->pb->error < 0 ? context->pb->error : 0;
  const int error = ioError ? ioError : IsStorageError(result) ? result : 0;
  if (error) throw EngineException(partial_output::WriteErrorText(name, error));
  if (result < 0) throw EngineException(failure);
}

// Closes every output that is not discarded, checking that all of it reached
// the file, and gives the complete local files their final names.
void TCustomEngineTask::PublishOutputs() {
  for (auto& output : outputs_) {
    AVFormatContext* context = output.context;
    if (output.discard || !context || (context->oformat->flags & AVFMT_NOFILE) || !context->pb) continue;
    media::avio_flush(context->pb);
    output.CheckWrite(0, {});
    const int closed = media::avio_closep(&context->pb);
    output.CheckWrite(closed, MediaErrorText(output.name, closed));
    if (output.partialPath.empty()) continue;
    partial_output::Publish(output.partialPath, output.finalPath, output.replace);
    output.partialPath.clear();
  }
}

void TCustomEngineTask::CheckSourcesUnchanged() const {
  for (const auto& input : inputs_)
    if (input.source)
      if (const std::string change = input.source->ChangeSinceOpened(); !change.empty()) throw EngineException(change);
}

void TCustomEngineTask::Release() {
  if (!TMediaLoader::instance().isLoaded(MediaLibrary::avformat)) return;
  for (auto& input : inputs_) {
    if (input.dvd) input.dvd->Close(input.context);
    else media::avformat_close_input(&input.context);
  }
  inputs_.clear();
  for (auto& output : outputs_) {
    for (auto& stream : output.streams) media::avcodec_free_context(&stream.encoder);
    closeOutput(output);
  }
  outputs_.clear();
  hookModules_->Release();
  joining_ = false;
}

void TCustomEngineTask::Reset() {
  if (!TMediaLoader::instance().isSetLoaded(kEngineLibraries)) return;
  Release();
  hookModules_ = std::make_unique<HookModuleList>();
  options_.Reset();
  stopRequested_ = false;
  finished_ = exception_ = false;
  errorText_.clear();
}

void TCustomEngineTask::Run() {
  finished_ = exception_ = false;
  try {
    Transcode();
  } catch (const std::exception& e) {
    exception_ = true;
    errorText_ = e.what();
    TMediaLogger::instance().Log(this, llQuiet, errorText_);
  }
  Release();
  finished_ = !stopRequested_ && !exception_;
}
