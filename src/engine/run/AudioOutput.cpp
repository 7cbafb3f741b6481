// Audio output: volume, drift correction, resampling into a FIFO, encoding in
// the encoder's frame size.
#include <cmath>
#include <string_view>

#include "engine/run/AudioPath.h"
#include "engine/run/EncoderFeed.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

// Muxers whose streams are timed by their position alone: a stream cannot
// start before 0 (AVI moves every stream instead, and a picture's slot is lost).
bool TimesByPosition(const AVOutputFormat& muxer) {
  return (muxer.flags & AVFMT_NOTIMESTAMPS) || std::string_view(muxer.name) == "avi";
}

// Encoders that take any frame size get this many samples at a time.
constexpr int kVariableFrameSamples = 1024;

int encoderFrameSize(const AVCodecContext* encoder) {
  const bool variable = encoder->codec && (encoder->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
  return encoder->frame_size > 0 && !variable ? encoder->frame_size : kVariableFrameSamples;
}

}  // namespace

void AudioConverter::Free() {
  media::swr_free(&resampler);
  if (fifo) media::av_audio_fifo_free(fifo);
  fifo = nullptr;
  media::av_channel_layout_uninit(&inLayout);
  inRate = 0;
  inFormat = -1;
}

AudioPath::AudioPath(RunContext& run, RunStop& stop, EncoderFeed& encoders)
    : run_(run), stop_(stop), encoders_(encoders) {}

void AudioPath::SetupResampler(OutputStreamState& output, AVFrame* samples) {
  auto& audio = output.audio;
  const bool same = audio.resampler && audio.inRate == samples->sample_rate && audio.inFormat == samples->format &&
                    !media::av_channel_layout_compare(&audio.inLayout, &samples->ch_layout);
  if (same) return;
  AVCodecContext* encoder = output.encoder;
  media::swr_free(&audio.resampler);
  if (media::swr_alloc_set_opts2(&audio.resampler, &encoder->ch_layout, encoder->sample_fmt, encoder->sample_rate,
                                 &samples->ch_layout, AVSampleFormat(samples->format), samples->sample_rate, 0,
                                 nullptr) < 0)
    throw EngineException(StringPrintf("Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                                       samples->ch_layout.nb_channels, samples->sample_rate,
                                       encoder->ch_layout.nb_channels, encoder->sample_rate));
  if (run_.settings.audioVolume != 256)
    media::av_opt_set_double(audio.resampler, "rematrix_volume", run_.settings.audioVolume / 256.0, 0);
  if (media::swr_init(audio.resampler) < 0)
    throw EngineException(StringPrintf("Cannot convert %s sample format to %s sample format",
                                       media::av_get_sample_fmt_name(AVSampleFormat(samples->format)),
                                       media::av_get_sample_fmt_name(encoder->sample_fmt)));
  media::av_channel_layout_uninit(&audio.inLayout);
  media::av_channel_layout_copy(&audio.inLayout, &samples->ch_layout);
  audio.inRate = samples->sample_rate;
  audio.inFormat = samples->format;
  if (!audio.fifo) {
    audio.fifo = media::av_audio_fifo_alloc(encoder->sample_fmt, encoder->ch_layout.nb_channels, encoderFrameSize(encoder));
    if (!audio.fifo) throw EngineException("av_fifo_alloc fail");
    LeadInForDroppingDecoders(output);
  }
}

// The WMA decoders drop the first frame they decode (it only primes the
// overlap with the next one) and the WMA encoders add no priming of their
// own, so the first moments of the sound would be lost. One frame of silence
// goes ahead of the sound, timed before its start: the sound still starts at
// 0 (files that cannot start below 0 move every stream alike).
void AudioPath::LeadInForDroppingDecoders(OutputStreamState& output) {
  AVCodecContext* encoder = output.encoder;
  if (encoder->codec_id != AV_CODEC_ID_WMAV1 && encoder->codec_id != AV_CODEC_ID_WMAV2) return;
  FramePtr silence(media::av_frame_alloc());
  if (!silence) throw EngineException("Out of memory");
  silence->format = encoder->sample_fmt;
  silence->sample_rate = encoder->sample_rate;
  silence->nb_samples = encoderFrameSize(encoder);
  if (media::av_channel_layout_copy(&silence->ch_layout, &encoder->ch_layout) < 0 ||
      media::av_frame_get_buffer(silence.get(), 0) < 0)
    throw EngineException("Out of memory");
  media::av_samples_set_silence(silence->extended_data, 0, silence->nb_samples, encoder->ch_layout.nb_channels,
                                encoder->sample_fmt);
  if (media::av_audio_fifo_write(output.audio.fifo, reinterpret_cast<void**>(silence->extended_data),
                                 silence->nb_samples) < silence->nb_samples)
    throw EngineException("Out of memory");
  output.syncOpts -= silence->nb_samples;
}

double AudioPath::AudioDrift(const OutputStreamState& output, const InputStreamState& input) const {
  const AVCodecContext* encoder = output.encoder;
  const std::int64_t produced = output.syncOpts + media::av_audio_fifo_size(output.audio.fifo) +
                                media::swr_get_delay(output.audio.resampler, encoder->sample_rate);
  return double(input.pts) / AV_TIME_BASE * encoder->sample_rate - double(produced);
}

void AudioPath::CorrectAudioDrift(OutputStreamState& output, InputStreamState& input) {
  const auto& settings = run_.settings;
  const AVCodecContext* encoder = output.encoder;
  const double drift = AudioDrift(output, input);
  if (std::fabs(drift) <= 50) return;
  if (!input.isStart && std::fabs(drift) <= encoder->sample_rate * settings.audioDriftThreshold) {
    if (settings.audioSyncMethod < 2) return;
    const int compensation = int(std::clamp<double>(drift, -settings.audioSyncMethod, settings.audioSyncMethod));
    media::swr_set_compensation(output.audio.resampler, compensation, encoder->sample_rate / 2);
    if (settings.verbosity > 2)
      TMediaLogger::instance().LogFmt(&run_.task, llVerbose, "compensating audio timestamp drift:%f compensation:%d in:%d",
                                      drift, compensation, encoder->sample_rate / 2);
    return;
  }
  DropOrPadAudio(output, drift);
}

// The first samples an output gets start at their own time, as the pictures
// do: sound that begins after the output's start (a DVD chapter's sound
// follows its first picture) is preceded by silence, sound from before it is
// cut. Files that keep no time stamps of their own cannot start the sound
// before 0 to hide the encoder's priming: there the priming takes the place
// of as many source samples.
void AudioPath::AlignAudioStart(OutputStreamState& output, InputStreamState& input) {
  output.audio.started = true;
  double drift = AudioDrift(output, input);
  const AVCodecContext* encoder = output.encoder;
  if (encoder->initial_padding > 0 && TimesByPosition(*run_.outputFiles[size_t(output.file)].context->oformat)) {
    drift -= encoder->initial_padding;
    output.primingShift = media::av_rescale_q(encoder->initial_padding, {1, encoder->sample_rate}, encoder->time_base);
  }
  if (std::fabs(drift) > 50) DropOrPadAudio(output, drift);
}

void AudioPath::DropOrPadAudio(OutputStreamState& output, double drift) {
  if (drift < 0) {
    media::swr_drop_output(output.audio.resampler, int(-drift));
    if (run_.settings.verbosity > 2)
      TMediaLogger::instance().LogFmt(&run_.task, llVerbose, "discarding %d audio samples", int(-drift));
  } else {
    media::swr_inject_silence(output.audio.resampler, int(drift));
  }
}

void AudioPath::Out(OutputStreamState& output, InputStreamState& input, AVFrame* samples) {
  // Without samples the resampler hands out what it still holds.
  if (samples) SetupResampler(output, samples);
  if (samples && !output.audio.started) AlignAudioStart(output, input);
  else if (samples && run_.settings.audioSyncMethod != 0) CorrectAudioDrift(output, input);
  auto& audio = output.audio;
  if (!audio.resampler) return;
  const int capacity = media::swr_get_out_samples(audio.resampler, samples ? samples->nb_samples : 0);
  if (capacity > 0) {
    AVFrame* converted = work_.get();
    media::av_frame_unref(converted);
    converted->format = output.encoder->sample_fmt;
    converted->sample_rate = output.encoder->sample_rate;
    media::av_channel_layout_copy(&converted->ch_layout, &output.encoder->ch_layout);
    converted->nb_samples = capacity;
    if (media::av_frame_get_buffer(converted, 0) < 0) throw EngineException("Out of memory in do_audio_out");
    const int made = media::swr_convert(audio.resampler, converted->data, capacity,
                                        samples ? const_cast<const std::uint8_t**>(samples->extended_data) : nullptr,
                                        samples ? samples->nb_samples : 0);
    if (made < 0)
      throw EngineException(StringPrintf("Cannot convert %s sample format to %s sample format",
                                         media::av_get_sample_fmt_name(AVSampleFormat(audio.inFormat)),
                                         media::av_get_sample_fmt_name(output.encoder->sample_fmt)));
    if (made > 0 && media::av_audio_fifo_write(audio.fifo, reinterpret_cast<void**>(converted->data), made) < made)
      throw EngineException("Buffer sizes too large in do_audio_out");
  }
  input.isStart = false;
  EncodeAudioFromFifo(output, false);
}

void AudioPath::EncodeAudioFromFifo(OutputStreamState& output, bool final) {
  AVCodecContext* encoder = output.encoder;
  auto& fifo = output.audio.fifo;
  if (!fifo) return;
  const int frameSize = encoderFrameSize(encoder);
  const bool smallLast = encoder->codec && (encoder->codec->capabilities &
                                            (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE));
  while (media::av_audio_fifo_size(fifo) >= frameSize || (final && media::av_audio_fifo_size(fifo) > 0)) {
    if (output.frameNumber >= run_.settings.maxFrames[1] || (final && stop_.Overdue())) return;
    const int available = std::min(frameSize, media::av_audio_fifo_size(fifo));
    AVFrame* samples = work_.get();
    media::av_frame_unref(samples);
    samples->format = encoder->sample_fmt;
    samples->sample_rate = encoder->sample_rate;
    media::av_channel_layout_copy(&samples->ch_layout, &encoder->ch_layout);
    // A short last frame is padded with silence for encoders that need whole frames.
    samples->nb_samples = available < frameSize && !smallLast ? frameSize : available;
    if (media::av_frame_get_buffer(samples, 0) < 0) throw EngineException("Out of memory in do_audio_out");
    media::av_samples_set_silence(samples->extended_data, 0, samples->nb_samples, encoder->ch_layout.nb_channels,
                                  encoder->sample_fmt);
    if (media::av_audio_fifo_read(fifo, reinterpret_cast<void**>(samples->extended_data), available) != available)
      throw EngineException("Internal error, buffer size too small");
    samples->pts = output.syncOpts;
    output.syncOpts += samples->nb_samples;
    ++output.frameNumber;
    encoders_.Send(output, samples);
  }
}

void AudioPath::Flush(OutputStreamState& output, InputStreamState& input) {
  if (!output.audio.resampler) return;
  Out(output, input, nullptr);
  EncodeAudioFromFifo(output, true);
}
