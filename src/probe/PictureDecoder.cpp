#include "probe/PictureDecoder.h"

#include <mutex>

#include "media/EngineException.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "media/MediaUtils.h"

void PictureDecoder::Free::operator()(AVCodecContext* codec) const { media::avcodec_free_context(&codec); }
void PictureDecoder::Free::operator()(AVPacket* packet) const { media::av_packet_free(&packet); }
void PictureDecoder::Free::operator()(AVFrame* picture) const { media::av_frame_free(&picture); }

PictureDecoder::PictureDecoder(AVFormatContext* input, int stream, const std::string& source)
    : input_(input), stream_(stream), packet_(media::av_packet_alloc()), picture_(media::av_frame_alloc()) {
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (int(i) != stream) input->streams[i]->discard = AVDISCARD_ALL;
  const AVStream* video = input->streams[stream];
  const AVCodec* codec = media::avcodec_find_decoder(video->codecpar->codec_id);
  if (!codec) throw EngineException(StringPrintf("%s: no decoder for the video stream", source.c_str()));
  codec_.reset(media::avcodec_alloc_context3(codec));
  if (!codec_ || !packet_ || !picture_) throw EngineException("Not enough memory");
  int opened = media::avcodec_parameters_to_context(codec_.get(), video->codecpar);
  if (opened >= 0) {
    codec_->pkt_timebase = video->time_base;
    std::lock_guard lock(MediaLibraryLock());
    opened = media::avcodec_open2(codec_.get(), codec, nullptr);
  }
  if (opened < 0) throw EngineException(MediaErrorText(source + ": open the video decoder", opened));
}

AVFrame* PictureDecoder::Next() {
  for (;;) {
    const int received = media::avcodec_receive_frame(codec_.get(), picture_.get());
    if (received >= 0) return picture_.get();
    if (received != AVERROR(EAGAIN)) return nullptr;
    int read;
    while ((read = media::av_read_frame(input_, packet_.get())) == AVERROR(EAGAIN) ||
           (read >= 0 && packet_->stream_index != stream_))
      media::av_packet_unref(packet_.get());
    // At the end of the input the decoder gives out what it still holds; a
    // damaged packet is passed over.
    media::avcodec_send_packet(codec_.get(), read >= 0 ? packet_.get() : nullptr);
    media::av_packet_unref(packet_.get());
  }
}

void PictureDecoder::Restart() { media::avcodec_flush_buffers(codec_.get()); }

std::int64_t PictureDecoder::TimeOf(const AVFrame& picture) const {
  if (picture.best_effort_timestamp == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
  return media::av_rescale_q(picture.best_effort_timestamp, input_->streams[stream_]->time_base, {1, AV_TIME_BASE});
}
