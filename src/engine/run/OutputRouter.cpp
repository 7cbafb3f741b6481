// Handing decoded pictures, sound, subtitles and copied packets to the outputs
// that take their stream.
#include "engine/run/OutputRouter.h"

#include "media/EngineException.h"

OutputRouter::OutputRouter(RunContext& run, RunInputs& inputs, RunOutputs& outputs, VideoPath& video,
                           AudioPath& audio, EncoderFeed& encoders, Muxer& muxer)
    : run_(run), inputs_(inputs), outputs_(outputs), video_(video), audio_(audio), encoders_(encoders),
      muxer_(muxer) {}

bool OutputRouter::Reads(const OutputStreamState& output, const InputStreamState& input) {
  return output.source >= 0 && &inputs_.Stream(output.source) == &input;
}

template <typename Give>
void OutputRouter::ToStartedEncoders(const InputStreamState& input, Give give) {
  for (auto& output : outputs_.All()) {
    if (!output.encoder || !Reads(output, input)) continue;
    if (input.pts < run_.outputFiles[size_t(output.file)].startTime) continue;
    give(output);
  }
}

void OutputRouter::Picture(InputStreamState& input, AVFrame* picture) {
  ToStartedEncoders(input, [&](OutputStreamState& output) { video_.Out(output, input, picture); });
}

void OutputRouter::Samples(InputStreamState& input, AVFrame* samples) {
  ToStartedEncoders(input, [&](OutputStreamState& output) { audio_.Out(output, input, samples); });
}

void OutputRouter::Subtitle(InputStreamState& input, AVSubtitle& subtitle, const AVPacket* packet) {
  for (auto& output : outputs_.All()) {
    if (!output.encoder || !Reads(output, input)) continue;
    if (packet->pts == AV_NOPTS_VALUE) {
      media::avsubtitle_free(&subtitle);
      throw EngineException("Subtitle packets must have a pts");
    }
    encoders_.EncodeSubtitle(output, input, subtitle, packet);
  }
  media::avsubtitle_free(&subtitle);
}

void OutputRouter::Copy(InputStreamState& input, const AVPacket* packet) {
  for (auto& output : outputs_.All())
    if (!output.encoder && Reads(output, input)) muxer_.CopyPacket(input, output, packet);
}
