// The read thread: opens the source, then demultiplexes it into the packet
// queues, performs seeks and notices the end of the input.
#include <chrono>
#include <cstring>
#include <thread>

#include "dvd/DvdInput.h"
#include "media/EngineException.h"
#include "media/MediaLoader.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"
#include "media/UnicodeProtocol.h"
#include "player/PlayerStream.h"
#include "probe/MediaProbe.h"

namespace {
constexpr std::int64_t kMaxQueuedBytes = 0xF00000;  // 15 MiB over all queues
constexpr std::int64_t kMinAudioBytes = 0x50000;    // 320 KiB
constexpr int kMinPackets = 5;

void Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool IsDemuxer(const AVFormatContext* input, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (input->iformat && std::strcmp(input->iformat->name, name) == 0) return true;
  return false;
}

// The audio stream a DVD title keeps (the chosen one), -1 for none.
int KeptAudioStream(const AVFormatContext* input) {
  for (unsigned i = 0; i < input->nb_streams; ++i)
    if (input->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && input->streams[i]->discard < AVDISCARD_ALL)
      return int(i);
  return -1;
}

// Only picture subtitles can be blended into the picture.
bool IsPictureSubtitle(const AVCodecParameters* parameters) {
  const AVCodecDescriptor* descriptor = media::avcodec_descriptor_get(parameters->codec_id);
  return descriptor && (descriptor->props & AV_CODEC_PROP_BITMAP_SUB);
}
}  // namespace

int PlayerStream::InterruptCallback(void* stream) { return static_cast<PlayerStream*>(stream)->abort_ ? 1 : 0; }

int PlayerStream::ReadThreadMain(void* data) {
  auto* stream = static_cast<PlayerStream*>(data);
  const int result = stream->OpenInput();
  const bool opened = result > 0;
  stream->openResult_ = result;
  if (opened) {
    stream->ReadLoop();
    // Reading ended by itself (the input failed): the stream closes.
    if (!stream->abort_) stream->shared_.PostPlayEvent({PlayThreadEvent::kQuit});
    // Wait for the close to begin and the video thread to end, then take everything down.
    while (!stream->abort_ || !stream->videoEnded_) Sleep(stream->abort_ ? 1 : 100);
  }
  stream->CloseComponents();
  if (stream->dvd_)
    stream->dvd_->Close(stream->input_);
  else if (stream->input_)
    media::avformat_close_input(&stream->input_);
  stream->readEnded_ = true;
  return 0;
}

int PlayerStream::OpenInput() {
  const AVInputFormat* format = nullptr;
  input_ = media::avformat_alloc_context();
  if (!input_) {
    shared_.SetLastError("av_mallocz() failed.");
    return -1;
  }
  input_->interrupt_callback = {&InterruptCallback, this};
  if (IsOpenDvdName(name_)) {
    try {
      dvd_ = std::make_unique<DvdInput>(name_);
    } catch (const EngineException& error) {
      shared_.SetLastError(error.what());
      return -1;
    }
    dvd_->Prepare(input_, format);
  }
  const int opened = media::avformat_open_input(&input_, unicode_protocol::NameForLibrary(name_).c_str(), format, nullptr);
  if (opened < 0) {
    shared_.SetLastError(MediaErrorText(name_, opened));
    return -1;
  }
  int found;
  {
    std::lock_guard lock(MediaLibraryLock());
    found = media::avformat_find_stream_info(input_, nullptr);
  }
  if (found < 0) {
    shared_.SetLastError(StringPrintf("%s: could not find codec parameters", name_.c_str()));
    return -1;
  }
  if (dvd_) dvd_->Configure(input_);
  imageSequence_ = IsDemuxer(input_, {"image2"});
  captureDevice_ = IsDemuxer(input_, {"vfwcap", "vfwcapture"});
  startTime_ = input_->start_time == AV_NOPTS_VALUE ? 0 : input_->start_time;
  duration_ = input_->duration == AV_NOPTS_VALUE || input_->duration <= 0 ? -1 : input_->duration;
  startClock_ = double(startTime_) / AV_TIME_BASE;
  timeline_.Expect(startTime_);
  if (options_.StartTime != INT64_MIN) SeekToStart();

  if (!options_.DisableVideo) {
    const int video = media::av_find_best_stream(input_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (video >= 0) OpenComponent(video);
  }
  if (!options_.DisableAudio) {
    const int audio = dvd_ ? KeptAudioStream(input_)
                           : media::av_find_best_stream(input_, AVMEDIA_TYPE_AUDIO, -1, videoIndex_, nullptr, 0);
    if (audio >= 0) OpenComponent(audio);
  }
  if (videoIndex_ >= 0) {
    const int subtitle = dvd_ ? dvd_->BurnInStream() : media::av_find_best_stream(input_, AVMEDIA_TYPE_SUBTITLE, -1, videoIndex_, nullptr, 0);
    if (subtitle >= 0 && subtitle < int(input_->nb_streams) && IsPictureSubtitle(input_->streams[subtitle]->codecpar))
      OpenComponent(subtitle);
  }
  if (videoIndex_ < 0 && !audioOpen_) {
    shared_.SetLastError(StringPrintf("%s: could not open codecs, no stream to play.", name_.c_str()));
    return -1;
  }
  visualise_ = videoIndex_ < 0 && !options_.DisableDisplay;
  if (shared_.Probe) shared_.Probe->Attach(input_);
  if (videoIndex_ >= 0) {
    videoEnded_ = false;
    videoThread_ = media::SDL_CreateThread(&VideoThreadMain, "player video", this);
    if (!videoThread_) {
      videoEnded_ = true;
      shared_.SetLastError("SDL_CreateThread() failed.");
      return -1;
    }
  }
  return 1;
}

// Seeks the input to a time of its clock (microseconds), or to a byte with the
// by-bytes flag. A DVD title seeks by the disc's own tables: its time stamps
// do not count from the start of the title.
int PlayerStream::SeekInput(std::int64_t target, int flags) {
  if (dvd_ && !(flags & AVSEEK_FLAG_BYTE)) {
    const std::int64_t position = dvd_->PositionOf(double(target - startTime_) / AV_TIME_BASE);
    return position < 0 ? -1 : media::av_seek_frame(input_, -1, position, AVSEEK_FLAG_BYTE);
  }
  return media::av_seek_frame(input_, -1, target, flags);
}

void PlayerStream::SeekToStart() {
  const std::int64_t target = startTime_ + options_.StartTime;
  if (SeekInput(target, AVSEEK_FLAG_BACKWARD) < 0)
    TMediaLogger::instance().LogFmt(shared_.LogSender, llError, "%s: could not seek to position %0.3f", name_.c_str(),
                                    double(target) / AV_TIME_BASE);
  else if (dvd_)
    timeline_.Expect(target);
}

void PlayerStream::OpenComponent(int index) {
  AVStream* stream = input_->streams[index];
  const AVCodec* codec = media::avcodec_find_decoder(stream->codecpar->codec_id);
  AVCodecContext* decoder = codec ? media::avcodec_alloc_context3(codec) : nullptr;
  bool opened = false;
  if (decoder && media::avcodec_parameters_to_context(decoder, stream->codecpar) >= 0) {
    decoder->pkt_timebase = stream->time_base;
    std::lock_guard lock(MediaLibraryLock());
    opened = media::avcodec_open2(decoder, codec, nullptr) >= 0;
  }
  if (!opened) {
    TMediaLogger::instance().Log(shared_.LogSender, llError, "avcodec_open() failed.");
    media::avcodec_free_context(&decoder);
    return;
  }
  stream->discard = AVDISCARD_DEFAULT;
  switch (decoder->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
      videoDecoder_ = decoder;
      videoIndex_ = index;
      videoTimeBase_ = stream->time_base;
      upright_ = UprightStepsOf(*stream, options_.Deinterlace);
      videoFrameRate_ = NominalFrameRate(*stream);
      if (TelecineCheck::Needed(upright_, videoFrameRate_)) telecineCheck_ = std::make_unique<TelecineCheck>();
      frameWidth_ = decoder->width;
      frameHeight_ = decoder->height;
      {
        AVRational aspect = stream->sample_aspect_ratio.num > 0 ? stream->sample_aspect_ratio
                                                                : stream->codecpar->sample_aspect_ratio;
        upright_.Apply(frameWidth_, frameHeight_, aspect);
        sampleAspect_ = av_q2d(aspect);
      }
      break;
    case AVMEDIA_TYPE_AUDIO:
      audioDecoder_ = decoder;
      audioIndex_ = index;
      audioTimeBase_ = stream->time_base;
      audioOpen_ = OpenAudio(decoder);
      if (!audioOpen_) audioIndex_ = -1;
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      subtitleDecoder_ = decoder;
      subtitleIndex_ = index;
      subtitleTimeBase_ = stream->time_base;
      subtitleReady_ = true;
      break;
    default:
      media::avcodec_free_context(&decoder);
  }
}

// A DVD subpicture stream the demuxer met only now (its first subtitle comes
// late in the title): when it is the chosen one, it is opened as the subtitle.
bool PlayerStream::TakeLateSubtitle(int index) {
  if (!dvd_ || videoIndex_ < 0 || subtitleIndex_ >= 0 || !dvd_->TakeLateSubtitle(input_, index)) return false;
  if (!IsPictureSubtitle(input_->streams[index]->codecpar)) return false;
  OpenComponent(index);
  return index == subtitleIndex_;
}

void PlayerStream::CloseComponents() {
  audioQueue_.Abort();
  videoQueue_.Abort();
  subtitleQueue_.Abort();
  CloseAudio();
  std::lock_guard lock(MediaLibraryLock());
  media::avcodec_free_context(&audioDecoder_);
  media::avcodec_free_context(&videoDecoder_);
  media::avcodec_free_context(&subtitleDecoder_);
}

bool PlayerStream::QueuesFull() const {
  const std::int64_t bytes = audioQueue_.Bytes() + videoQueue_.Bytes() + subtitleQueue_.Bytes();
  if (bytes > kMaxQueuedBytes) return true;
  const bool audioFull = audioIndex_ < 0 || audioQueue_.Bytes() > kMinAudioBytes;
  const bool videoFull = videoIndex_ < 0 || videoQueue_.Packets() > kMinPackets;
  const bool subtitleFull = subtitleIndex_ < 0 || subtitleQueue_.Packets() > kMinPackets;
  return audioFull && videoFull && subtitleFull;
}

void PlayerStream::ReadLoop() {
  AVPacket* packet = media::av_packet_alloc();
  while (!abort_) {
    if (paused_ != readPaused_) {
      readPaused_ = paused_;
      if (readPaused_)
        media::av_read_pause(input_);
      else
        media::av_read_play(input_);
    }
    PerformSeek();
    if (QueuesFull()) {
      Sleep(10);
      continue;
    }
    if (endOfFile_) {
      if (videoIndex_ >= 0 && !drainQueued_) {
        videoQueue_.PutDrain(videoIndex_);
        drainQueued_ = true;
      }
      Sleep(10);
      if (audioQueue_.Packets() == 0 && videoQueue_.Packets() == 0 && subtitleQueue_.Packets() == 0) atEnd_ = true;
      continue;
    }
    inRead_ = true;
    const int read = media::av_read_frame(input_, packet);
    inRead_ = false;
    if (read < 0) {
      if (videoIndex_ >= 0) shared_.PictureAfterSeek.Set();
      if (!imageSequence_ && !endReported_) {
        endReported_ = true;
        if (read == AVERROR_EOF)
          TMediaLogger::instance().LogFmt(shared_.LogSender, llInfo, "reach end of file: %s", name_.c_str());
        else
          TMediaLogger::instance().LogFmt(shared_.LogSender, llError, "error #%d while reading file: %s", read, name_.c_str());
      }
      if (read == AVERROR_EOF || (input_->pb && input_->pb->eof_reached)) {
        endOfFile_ = true;
      } else if (input_->pb && input_->pb->error) {
        break;
      } else {
        Sleep(100);
      }
      continue;
    }
    QueuePacket(packet);
  }
  media::av_packet_free(&packet);
}

void PlayerStream::QueuePacket(AVPacket* packet) {
  if (packet->pos >= 0) bytePosition_ = packet->pos;
  const int index = packet->stream_index;
  PacketQueue* queue = index == audioIndex_ ? &audioQueue_ : index == videoIndex_ ? &videoQueue_
                       : index == subtitleIndex_ || TakeLateSubtitle(index) ? &subtitleQueue_ : nullptr;
  if (!queue) {
    media::av_packet_unref(packet);
    return;
  }
  if (dvd_) {
    // DVD cells restart their clocks; keep the title's times continuous.
    const AVRational timeBase = input_->streams[index]->time_base;
    const std::int64_t stamp = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
    if (stamp != AV_NOPTS_VALUE) {
      const std::int64_t before = media::av_rescale_q(stamp, timeBase, {1, AV_TIME_BASE});
      const std::int64_t after = timeline_.Apply(before, media::av_rescale_q(packet->duration, timeBase, {1, AV_TIME_BASE}));
      const std::int64_t shift = media::av_rescale_q(after - before, {1, AV_TIME_BASE}, timeBase);
      if (packet->pts != AV_NOPTS_VALUE) packet->pts += shift;
      if (packet->dts != AV_NOPTS_VALUE) packet->dts += shift;
    }
  }
  queue->Put(packet);
}

void PlayerStream::PerformSeek() {
  std::int64_t target;
  int flags;
  {
    std::lock_guard lock(seekMutex_);
    if (!seekRequested_) return;
    target = seekTarget_;
    flags = seekFlags_;
  }
  int result = SeekInput(target, flags);
  if (result < 0 && !dvd_) result = media::av_seek_frame(input_, -1, target, flags ^ AVSEEK_FLAG_BACKWARD);
  if (result < 0) {
    TMediaLogger::instance().LogFmt(shared_.LogSender, llError, "%s: error while seeking", name_.c_str());
    shared_.PictureAfterSeek.Set();
  } else {
    videoRestart_ = NAN;
    const std::pair<int, PacketQueue*> queues[] = {{audioIndex_, &audioQueue_}, {videoIndex_, &videoQueue_},
                                                   {subtitleIndex_, &subtitleQueue_}};
    for (const auto& [index, queue] : queues) {
      if (index < 0) continue;
      queue->Flush();
      queue->PutFlush();
    }
    // A paused display takes no picture: the video thread may wait for room
    // with a picture from before the seek and never reach the flush packet.
    if (videoIndex_ >= 0) {
      std::lock_guard lock(pictures_.Mutex());
      while (pictures_.Count() > 0) pictures_.Pop();
    }
    if (videoIndex_ >= 0) shared_.PictureAfterSeek.Reset();
    if (dvd_) timeline_.Expect(target);
  }
  endOfFile_ = endReported_ = drainQueued_ = false;
  atEnd_ = false;
  {
    std::lock_guard lock(seekMutex_);
    seekRequested_ = false;
  }
  shared_.SeekPerformed.Set();
  if (videoIndex_ < 0 || result < 0) shared_.Seeking = false;
}
