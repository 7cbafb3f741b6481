#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dvd/OpenDvdString.h"
#include "media/MediaApi.h"

extern "C" {
#include "../../plugins/dvddec/dvddec.h"
}

// The byte stream of one DVD title as the DVD plug-in reads it.
class DvdTitleStream {
 public:
  virtual ~DvdTitleStream() = default;
  virtual int Read(std::uint8_t* buffer, int size) = 0;  // bytes, 0 at the end, < 0 on failure
  virtual std::int64_t Seek(std::int64_t position) = 0;  // new position or -1
  virtual std::int64_t Size() = 0;                       // bytes
  virtual double Duration() = 0;                         // seconds of the chosen chapters
  virtual std::int64_t TimeToPosition(double seconds) = 0;  // byte position of the VOBU, -1 out of range
  virtual DvdParam Param() = 0;
  virtual DvdTitleInfo Info() = 0;                       // the title's record from the disc's tables
};

// An audio or subtitle stream of a title as the disc's tables list it.
struct DvdListedStream {
  int demuxerId = 0;     // AVStream::id the program stream demuxer gives it
  std::string language;  // ISO 639-2 ("eng"), empty when the disc names none
  bool chosen = false;   // the job's choice
};

// Opens the title an "opendvd:" name describes; raises EngineException with the
// plug-in's reason. Provided by the DVD binding.
std::unique_ptr<DvdTitleStream> OpenDvdTitleStream(const std::string& name);

bool IsOpenDvdName(const std::string& name);

// The demuxer's id of a DVD audio stream: MPEG audio carries its whole PES id.
int DemuxerAudioId(int dvdId);

// Clock jumps between a title's cells larger than this are smoothed at once.
constexpr std::int64_t kDvdDiscontinuityThreshold = 1000000;  // microseconds

// A DVD title opened for demuxing: the program stream demuxer reading through a
// custom I/O context over the title stream. Owns both; Close() (or the
// destructor) frees the format context too.
class DvdInput {
 public:
  explicit DvdInput(const std::string& name);
  ~DvdInput();
  DvdInput(const DvdInput&) = delete;
  DvdInput& operator=(const DvdInput&) = delete;

  // Hands a prepared context to avformat_open_input with the demuxer to use.
  void Prepare(AVFormatContext* context, const AVInputFormat*& format);
  // After the stream information is read: keeps the chosen audio stream, drops
  // subpictures (a title read whole keeps both kinds, see AllStreams), starts
  // the input's clock at the chapters' first picture, takes the duration from
  // the disc's tables and, when asked, the chapters as the input's chapters.
  void Configure(AVFormatContext* context);
  // Whether a subpicture stream was chosen to be burned in. Its stream may be
  // missing after Configure: the demuxer adds it at its first packet.
  bool BurnsInSubtitle() const { return param_.SubtitleID != 0 && !extras_.allStreams; }
  // The title is converted whole: Configure keeps every audio and subpicture
  // stream (none is burned in), each with its language and the subpictures
  // with the title's colours.
  bool AllStreams() const { return extras_.allStreams; }
  // The title's audio or subtitle streams from its tables, the chosen one first.
  std::vector<DvdListedStream> ListedStreams(AVMediaType type) const;
  // Gives a stream of the title (also one the demuxer adds late) its language
  // and, for subpictures, the title's colours and picture size as the DVD
  // subtitle decoder reads them from the extradata.
  void Describe(AVStream& stream) const;
  // The same for the parameters of a subpicture stream not yet seen.
  void DescribeSubtitle(AVCodecParameters& parameters) const;
  // For a stream the demuxer added after Configure: true when it is the chosen
  // subpicture stream and none was found before; it becomes BurnInStream().
  bool TakeLateSubtitle(const AVFormatContext* context, int index);
  // Microseconds of the demuxer's clock at which the chosen chapters end: the
  // time of their first picture plus their duration in the disc's tables. The
  // title stream runs on a little past it (the sound stored ahead of the
  // pictures); AV_NOPTS_VALUE when unknown.
  std::int64_t EndTime() const { return endTime_; }
  // Byte position for a start time (seconds from the start of the chapters), -1 when none.
  std::int64_t PositionOf(double seconds) { return stream_->TimeToPosition(seconds); }
  const DvdParam& Param() const { return param_; }
  // The subpicture stream burned into the picture, -1 for none.
  int BurnInStream() const { return burnInStream_; }
  // Frees the format context (which must be the one Prepare saw) and the I/O.
  void Close(AVFormatContext*& context);

 private:
  static int ReadPacket(void* opaque, std::uint8_t* buffer, int size);
  static std::int64_t SeekStream(void* opaque, std::int64_t offset, int whence);
  bool IsChosenSubtitle(const AVStream* stream) const;
  // The chosen chapters as the input's chapters, named "Chapter N" from the
  // first chosen one, on the demuxer's clock.
  void AddChapters(AVFormatContext* context) const;

  std::unique_ptr<DvdTitleStream> stream_;
  DvdParam param_{};
  OpenDvdExtras extras_;
  DvdTitleInfo info_{};
  int videoWidth_ = 0, videoHeight_ = 0;  // of the title's video stream, once configured
  AVIOContext* io_ = nullptr;
  std::int64_t position_ = 0;
  int burnInStream_ = -1;
  std::int64_t endTime_ = AV_NOPTS_VALUE;
};
