#include "dvd/DvdInput.h"

#include "media/EngineException.h"

namespace {

constexpr int kIoBufferSize = 64 * 2048;

}  // namespace

int DemuxerAudioId(int dvdId) { return dvdId >= 0xC0 && dvdId <= 0xC7 ? 0x100 + dvdId : dvdId; }

bool IsOpenDvdName(const std::string& name) { return name.rfind("opendvd:", 0) == 0; }

DvdInput::DvdInput(const std::string& name)
    : stream_(OpenDvdTitleStream(name)), param_(stream_->Param()), info_(stream_->Info()) {
  std::string path;
  DvdParam param;
  bool hasParameters = false;
  ParseOpenDvdString(name, path, param, hasParameters, &extras_);
  auto* buffer = static_cast<std::uint8_t*>(media::av_malloc(kIoBufferSize));
  io_ = media::avio_alloc_context(buffer, kIoBufferSize, 0, this, &DvdInput::ReadPacket, nullptr, &DvdInput::SeekStream);
  if (!io_) {
    media::av_free(buffer);
    throw EngineException("Not enough memory");
  }
}

DvdInput::~DvdInput() {
  if (io_) {
    media::av_freep(&io_->buffer);
    media::avio_context_free(&io_);
  }
}

int DvdInput::ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
  auto* self = static_cast<DvdInput*>(opaque);
  const int read = self->stream_->Read(buffer, size);
  if (read == 0) return AVERROR_EOF;
  if (read < 0) return AVERROR(EIO);
  self->position_ += read;
  return read;
}

std::int64_t DvdInput::SeekStream(void* opaque, std::int64_t offset, int whence) {
  auto* self = static_cast<DvdInput*>(opaque);
  if (whence & AVSEEK_SIZE) return self->stream_->Size();
  whence &= ~AVSEEK_FORCE;
  const std::int64_t target = whence == SEEK_CUR ? self->position_ + offset
                              : whence == SEEK_END ? self->stream_->Size() + offset
                                                   : offset;
  const std::int64_t reached = self->stream_->Seek(target);
  if (reached < 0) return AVERROR(EIO);
  self->position_ = reached;
  return reached;
}

void DvdInput::Prepare(AVFormatContext* context, const AVInputFormat*& format) {
  context->pb = io_;
  context->flags |= AVFMT_FLAG_CUSTOM_IO;
  format = media::av_find_input_format("mpeg");
}

bool DvdInput::IsChosenSubtitle(const AVStream* stream) const {
  return BurnsInSubtitle() && stream->codecpar->codec_type == AVMEDIA_TYPE_SUBTITLE && stream->id == param_.SubtitleID;
}

void DvdInput::Configure(AVFormatContext* context) {
  const int audioId = DemuxerAudioId(param_.AudioID);
  const int video = media::av_find_best_stream(context, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (video >= 0) {
    videoWidth_ = context->streams[video]->codecpar->width;
    videoHeight_ = context->streams[video]->codecpar->height;
  }
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    AVStream* stream = context->streams[i];
    switch (stream->codecpar->codec_type) {
      case AVMEDIA_TYPE_AUDIO:
        if (AllStreams()) Describe(*stream);
        else if (stream->id != audioId) stream->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        if (AllStreams()) {
          Describe(*stream);
        } else if (IsChosenSubtitle(stream)) {
          burnInStream_ = int(i);
        } else {
          stream->discard = AVDISCARD_ALL;
        }
        break;
      case AVMEDIA_TYPE_DATA:
        stream->discard = AVDISCARD_ALL;
        break;
      default: break;
    }
  }
  // The chapters begin with their first picture: the sound multiplexed beside
  // it belongs partly to the chapter before, and the input's clock starts there.
  const AVStream* first = video >= 0 ? context->streams[video] : nullptr;
  if (first && first->start_time != AV_NOPTS_VALUE)
    context->start_time = media::av_rescale_q(first->start_time, first->time_base, {1, AV_TIME_BASE});
  const double seconds = stream_->Duration();
  if (seconds <= 0) return;
  context->duration = std::int64_t(seconds * AV_TIME_BASE);
  if (context->start_time != AV_NOPTS_VALUE) endTime_ = context->start_time + context->duration;
  if (extras_.chapters) AddChapters(context);
}

bool DvdInput::TakeLateSubtitle(const AVFormatContext* context, int index) {
  if (burnInStream_ >= 0 || index < 0 || index >= int(context->nb_streams) || !IsChosenSubtitle(context->streams[index]))
    return false;
  burnInStream_ = index;
  return true;
}

void DvdInput::Close(AVFormatContext*& context) {
  if (context) media::avformat_close_input(&context);
}
