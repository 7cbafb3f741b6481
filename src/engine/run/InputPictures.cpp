// A decoded picture's steps before the outputs: upright steps and the telecine
// check, the burn-in's delay and drawing, and the frame hooks.
#include "engine/run/InputPictures.h"

#include "engine/setup/HookModules.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"

namespace {

// How far past a picture the file is read before the picture goes on when
// subpictures are burned in.
constexpr std::int64_t kBurnInLookahead = 1000000;  // microseconds

}  // namespace

InputPictures::InputPictures(RunContext& run, RunStop& stop, RunInputs& inputs, DecodedSink& sink)
    : run_(run), stop_(stop), inputs_(inputs), sink_(sink) {}

void InputPictures::Add(InputStreamState& input, AVFrame* picture) {
  picture->pts = input.pts;
  if (input.upright.Empty()) return HandleUprightFrame(input, picture);
  if (input.telecineCheck) {
    if (input.telecineCheck->Add(*picture)) EndTelecineCheck(input);
    return;
  }
  PushUpright(input, picture);
}

void InputPictures::EndTelecineCheck(InputStreamState& input) {
  const std::vector<FramePtr> held = input.telecineCheck->Decide(input.upright);
  input.telecineCheck.reset();
  if (input.upright.inverseTelecine)
    TMediaLogger::instance().LogFmt(&run_.task, llInfo, "Stream %d is telecined film: inverse telecine", input.index);
  for (const FramePtr& picture : held) PushUpright(input, picture.get());
}

void InputPictures::PushUpright(InputStreamState& input, AVFrame* picture) {
  PictureFilterGraph& graph = *input.uprightGraph;
  if (!graph.Fits(*picture)) {
    const std::string error = graph.Build(*picture, kMicroseconds, input.upright.FilterText(),
                                          NominalFrameRate(*input.stream));
    if (!error.empty()) throw EngineException("Error opening filters: " + error);
  }
  if (graph.Push(picture) < 0) throw EngineException("error cropping picture");
  DrainUpright(input);
}

void InputPictures::DrainUpright(InputStreamState& input) {
  if (!input.uprightPicture) input.uprightPicture.reset(media::av_frame_alloc());
  AVFrame* upright = input.uprightPicture.get();
  if (!upright) throw EngineException("Out of memory");
  const AVRational timeBase = input.uprightGraph->OutputTimeBase();
  while (input.uprightGraph->Pull(upright) >= 0) {
    upright->pts = media::av_rescale_q(upright->pts, timeBase, kMicroseconds);
    input.pts = upright->pts;
    HandleUprightFrame(input, upright);
    media::av_frame_unref(upright);
  }
}

void InputPictures::Flush(InputStreamState& input) {
  if (input.telecineCheck) EndTelecineCheck(input);
  if (!input.uprightGraph || !input.uprightGraph->Built()) return;
  if (input.uprightGraph->PushEnd() >= 0) DrainUpright(input);
  input.uprightGraph->Free();
}

void InputPictures::HandleUprightFrame(InputStreamState& input, AVFrame* picture) {
  auto& file = inputs_.File(input.file);
  if (!file.burnIn) {
    ProcessVideoFrame(input, picture);
    return;
  }
  AVFrame* copy = media::av_frame_clone(picture);
  if (!copy) throw EngineException("Out of memory");
  file.delayed.emplace_back(&input, copy);
  ReleaseDelayedPictures(file, false);
}

void InputPictures::ReleaseAllDelayed() {
  for (auto& file : inputs_.Files())
    if (file.burnIn) ReleaseDelayedPictures(file, true);
}

void InputPictures::ReleaseDelayedPictures(InputFileState& file, bool all) {
  // Pictures left over when a stop is overdue are freed with the run.
  while (!file.delayed.empty() && !(all && stop_.Overdue()) &&
         (all || (file.lastReadUs != INT64_MIN && file.delayed.front().second->pts + kBurnInLookahead <= file.lastReadUs))) {
    auto [input, picture] = file.delayed.front();
    file.delayed.pop_front();
    input->pts = picture->pts;
    file.burnIn->Draw(picture, picture->pts);
    ProcessVideoFrame(*input, picture);
    media::av_frame_free(&picture);
  }
}

void InputPictures::ProcessVideoFrame(InputStreamState& input, AVFrame* picture) {
  ++input.decodedVideoFrames;
  // The component's hook makes the frame writable itself, only when it writes to it.
  if (run_.onFrameHook && !run_.onFrameHook(picture, input.decodedVideoFrames, input.pts)) run_.onFrameHook = nullptr;
  if (!run_.hookModules.Empty()) {
    if (media::av_frame_make_writable(picture) < 0) throw EngineException("hook buf malloc error.");
    run_.hookModules.Process(picture, input.pts);
  }
  sink_.Picture(input, picture);
}
