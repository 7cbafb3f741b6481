// Sound: SDL's callback decodes the audio packets, converts them to signed
// 16-bit samples and mixes them at the component's volume; it also keeps the
// audio clock and the samples the visualisation draws.
#include <algorithm>
#include <cstring>

#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "player/PlayerStream.h"

namespace {
constexpr int kBufferSamples = 1024;
constexpr std::size_t kSilenceBytes = 1024;
constexpr std::size_t kVisualSamples = 512;
constexpr double kVideoRestartWait = 1.0;  // seconds the sound waits for the first picture after a seek
}  // namespace

bool PlayerStream::OpenAudio(AVCodecContext* decoder) {
  SDL_AudioSpec wanted{};
  wanted.freq = decoder->sample_rate;
  wanted.channels = Uint8(std::clamp(decoder->ch_layout.nb_channels, 1, 8));
  wanted.format = AUDIO_S16SYS;
  wanted.silence = 0;
  wanted.samples = kBufferSamples;
  wanted.callback = &AudioCallback;
  wanted.userdata = this;
  // Without an obtained record SDL converts to the device's own format itself.
  if (wanted.freq <= 0 || media::SDL_OpenAudio(&wanted, nullptr) < 0) {
    TMediaLogger::instance().Log(shared_.LogSender, llError,
                                 std::string("SDL_OpenAudio() failed: ") + media::SDL_GetError());
    return false;
  }
  deviceRate_ = wanted.freq;
  deviceChannels_ = wanted.channels;
  audioFrame_ = media::av_frame_alloc();
  audioPacket_ = media::av_packet_alloc();
  media::SDL_PauseAudio(0);
  return true;
}

void PlayerStream::CloseAudio() {
  if (audioOpen_) media::SDL_CloseAudio();  // returns once the callback has ended
  audioOpen_ = false;
  media::swr_free(&resampler_);
  media::av_frame_free(&audioFrame_);
  media::av_packet_free(&audioPacket_);
}

void PlayerStream::AudioCallback(void* stream, std::uint8_t* buffer, int length) {
  static_cast<PlayerStream*>(stream)->FillAudio(buffer, length);
}

void PlayerStream::FillAudio(std::uint8_t* buffer, int length) {
  const double now = WallSeconds();
  const double bytesPerSecond = double(deviceRate_) * 2 * deviceChannels_;
  std::memset(buffer, 0, std::size_t(length));
  int written = 0;
  while (written < length) {
    if (audioBufferIndex_ >= audioBuffer_.size()) {
      audioBufferIndex_ = 0;
      if (paused_ || DecodeAudio() <= 0) {
        audioBuffer_.assign(kSilenceBytes, 0);
        bufferIsSound_ = false;
      }
    }
    const int chunk = int(std::min<std::size_t>(std::size_t(length - written), audioBuffer_.size() - audioBufferIndex_));
    if (bufferIsSound_ && !shared_.Mute)
      media::SDL_MixAudioFormat(buffer + written, audioBuffer_.data() + audioBufferIndex_, AUDIO_S16SYS, Uint32(chunk),
                                shared_.AudioVolume);
    written += chunk;
    audioBufferIndex_ += std::size_t(chunk);
  }
  if (!std::isnan(audioPts_) && bytesPerSecond > 0) {
    // What was just written starts playing now and ends one buffer later;
    // the decoded rest waits in our buffer.
    const double waiting = bufferIsSound_ ? double(audioBuffer_.size() - audioBufferIndex_) : 0;
    audioClock_.SetPaused(paused_, now);
    if (!paused_) audioClock_.Set(audioPts_ - (waiting + length) / bytesPerSecond, now);
  }
  if (visualise_) {
    std::lock_guard lock(visualMutex_);
    const auto* samples = reinterpret_cast<const std::int16_t*>(buffer);
    const int frames = length / 2 / std::max(deviceChannels_, 1);
    visualSamples_.resize(std::min<std::size_t>(kVisualSamples, std::size_t(frames)));
    for (std::size_t i = 0; i < visualSamples_.size(); ++i) visualSamples_[i] = samples[i * std::size_t(deviceChannels_)];
  }
}

// Decodes the next audio frame into the buffer; the bytes it holds, 0 when no
// packet is waiting.
int PlayerStream::DecodeAudio() {
  for (;;) {
    const int received = media::avcodec_receive_frame(audioDecoder_, audioFrame_);
    if (received >= 0) {
      const int bytes = StartsAfterVideo() ? ConvertAudioFrame() : 0;
      media::av_frame_unref(audioFrame_);
      if (bytes > 0) return bytes;
      continue;
    }
    if (received != AVERROR(EAGAIN) && received != AVERROR_EOF) {
      TMediaLogger::instance().Log(shared_.LogSender, llInfo, "avcodec_decode_audio2() failed");
      return 0;
    }
    if (WaitingForVideo()) return 0;
    if (!audioQueue_.Get(audioPacket_, std::chrono::milliseconds(0))) return 0;
    if (PacketQueue::IsFlush(audioPacket_)) {
      media::avcodec_flush_buffers(audioDecoder_);
      audioPts_ = NAN;
      audioClock_.Invalidate();
      audioWaitsForVideo_ = videoIndex_ >= 0;
      audioFlushedAt_ = WallSeconds();
    } else if (media::avcodec_send_packet(audioDecoder_, audioPacket_) < 0) {
      TMediaLogger::instance().Log(shared_.LogSender, llInfo, "avcodec_decode_audio2() failed");
    }
    media::av_packet_unref(audioPacket_);
  }
}

// Silence until the first picture after a seek is known (at most a second).
bool PlayerStream::WaitingForVideo() {
  if (!audioWaitsForVideo_) return false;
  if (!std::isnan(videoRestart_.load())) return false;
  if (WallSeconds() - audioFlushedAt_ < kVideoRestartWait) return true;
  audioWaitsForVideo_ = false;
  return false;
}

// False for a frame after a seek that ends before the first new picture.
bool PlayerStream::StartsAfterVideo() {
  if (!audioWaitsForVideo_) return true;
  const double restart = videoRestart_;
  const std::int64_t stamp = audioFrame_->best_effort_timestamp;
  if (std::isnan(restart) || stamp == AV_NOPTS_VALUE) {
    audioWaitsForVideo_ = false;
    return true;
  }
  const double end = double(stamp) * av_q2d(audioTimeBase_) +
                     double(audioFrame_->nb_samples) / std::max(audioFrame_->sample_rate, 1);
  if (end <= restart) return false;
  audioWaitsForVideo_ = false;
  return true;
}

int PlayerStream::ConvertAudioFrame() {
  AVFrame* frame = audioFrame_;
  if (!resampler_ || frame->format != resamplerFormat_ || frame->sample_rate != resamplerRate_ ||
      media::av_channel_layout_compare(&frame->ch_layout, &resamplerLayout_) != 0) {
    media::swr_free(&resampler_);
    AVChannelLayout output{};
    media::av_channel_layout_default(&output, deviceChannels_);
    if (media::swr_alloc_set_opts2(&resampler_, &output, AV_SAMPLE_FMT_S16, deviceRate_, &frame->ch_layout,
                                   AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr) < 0 ||
        media::swr_init(resampler_) < 0) {
      const char* from = media::av_get_sample_fmt_name(AVSampleFormat(frame->format));
      TMediaLogger::instance().LogFmt(shared_.LogSender, llError, "Cannot convert %s sample format to %s sample format",
                                      from ? from : "unknown", "s16");
      media::swr_free(&resampler_);
      return 0;
    }
    resamplerFormat_ = frame->format;
    resamplerRate_ = frame->sample_rate;
    media::av_channel_layout_uninit(&resamplerLayout_);
    media::av_channel_layout_copy(&resamplerLayout_, &frame->ch_layout);
  }
  const int capacity = media::swr_get_out_samples(resampler_, frame->nb_samples);
  audioBuffer_.resize(std::size_t(std::max(capacity, 0)) * 2 * std::size_t(deviceChannels_));
  std::uint8_t* out[1] = {audioBuffer_.data()};
  const int converted =
      media::swr_convert(resampler_, out, capacity, const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
  if (converted < 0) {
    TMediaLogger::instance().Log(shared_.LogSender, llError, "av_audio_convert() failed");
    audioBuffer_.clear();
    return 0;
  }
  audioBuffer_.resize(std::size_t(converted) * 2 * std::size_t(deviceChannels_));
  audioBufferIndex_ = 0;
  bufferIsSound_ = true;
  const AVRational timeBase = audioTimeBase_;
  const std::int64_t stamp = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp : frame->pts;
  const double length = double(frame->nb_samples) / std::max(frame->sample_rate, 1);
  if (stamp != AV_NOPTS_VALUE)
    audioPts_ = double(stamp) * av_q2d(timeBase) + length;
  else if (!std::isnan(audioPts_))
    audioPts_ += length;
  return int(audioBuffer_.size());
}
