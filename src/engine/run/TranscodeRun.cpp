// The run's frame: building its parts, setting up the files, and finishing
// them once the inputs are read.
#include "engine/run/TranscodeRun.h"

#include "media/EngineException.h"

TranscodeRun::TranscodeRun(TCustomEngineTask& task)
    : run_(task),
      stop_(task),
      inputs_(run_),
      outputs_(run_, inputs_),
      muxer_(run_, outputs_),
      progress_(run_, outputs_, muxer_),
      encoders_(run_, stop_, muxer_, progress_),
      video_(run_, stop_, encoders_, progress_.Counts()),
      audio_(run_, stop_, encoders_),
      router_(run_, inputs_, outputs_, video_, audio_, encoders_, muxer_),
      clock_(run_),
      pictures_(run_, stop_, inputs_, router_),
      decoding_(run_, stop_, inputs_, clock_, pictures_, router_) {}

void TranscodeRun::Setup() {
  inputs_.Build();
  outputs_.Map();
  outputs_.Prepare(video_);
  outputs_.OpenEncoders();
  inputs_.OpenDecoders();
  muxer_.CopyMetadataAndChapters();
  muxer_.InitBitstreamFilters();
  muxer_.WriteHeaders();
  outputs_.LogMapping();
  progress_.Start();
  currentFile_ = 0;
}

void TranscodeRun::FlushEncoders() {
  for (auto& output : outputs_.All()) {
    if (!output.encoder || output.flushed || output.source < 0) continue;
    output.flushed = true;
    auto& input = inputs_.Stream(output.source);
    const AVMediaType type = output.encoder->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO) video_.Flush(output, input);
    if (type == AVMEDIA_TYPE_AUDIO) audio_.Flush(output, input);
    if (type != AVMEDIA_TYPE_SUBTITLE) encoders_.Send(output, nullptr);
  }
}

void TranscodeRun::Finish() {
  decoding_.FlushAll();
  pictures_.ReleaseAllDelayed();
  FlushEncoders();
  muxer_.WriteTrailers();
  progress_.Report(true);
  muxer_.DiscardEmptyOutputs();
}

void TCustomEngineTask::Transcode() {
  if (outputs_.empty()) throw EngineException("At least one output file must be specified");
  if (inputs_.empty()) throw EngineException("At least one input file must be specified");
  {
    TranscodeRun run(*this);
    run.Setup();
    run.Loop();
    // A source that changed under the run was not read whole.
    if (!StopRequested()) CheckSourcesUnchanged();
    run.Finish();
  }
  PublishOutputs();
}
