#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct AVFormatContext;
class DvdInput;

struct TFileStreamInfo {
  std::int64_t StartTime = -1;  // microseconds
  std::int64_t Duration = -1;   // microseconds
  int BitRate = -1;
  std::int64_t TimeStamp = -1;  // recording time, seconds since 1970
  int Year = -1;
  int Track = -1;
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TAudioStreamInfo {
  std::string Language;
  std::string CodecName;
  std::int64_t StartTime = -1;  // stream time base units
  std::int64_t StartTimeMicroseconds = -1;
  std::int64_t Duration = -1;   // stream time base units
  std::int64_t DurationMicroseconds = -1;
  int BitRate = -1;
  int Channels = -1;
  int SampleRate = -1;
  int SampleFormat = -1;
};

struct TVideoStreamInfo {
  std::string Language;
  std::string CodecName;
  std::int64_t StartTime = -1;
  std::int64_t StartTimeMicroseconds = -1;
  std::int64_t Duration = -1;
  std::int64_t DurationMicroseconds = -1;
  int BitRate = -1;
  int Height = -1;
  int Width = -1;
  float DisplayAspectRatio = -1.0f;
  // Width of a pixel over its height (the container's value before the codec's);
  // 0/1 when the source does not say.
  int SampleAspectNum = 0, SampleAspectDen = 1;
  int PixelFormat = -1;
  int FrameRateNum = -1;
  int FrameRateDen = -1;
  // The average rate, which a clip of varying frame rate states where its
  // base rate above may be a multiple; 0/0 when unknown.
  int AverageFrameRateNum = 0, AverageFrameRateDen = 0;
  // Width, Height and the aspects above describe the picture as shown: a
  // stored picture that its display matrix turns by Rotation degrees clockwise
  // (after a mirror when Mirrored).
  int Rotation = 0;
  bool Mirrored = false;
};

// Opens a media file (or takes an already opened one) and answers questions
// about it. Used from one thread at a time.
class TCustomMediaProbe {
 public:
  TCustomMediaProbe();
  virtual ~TCustomMediaProbe();
  TCustomMediaProbe(const TCustomMediaProbe&) = delete;
  TCustomMediaProbe& operator=(const TCustomMediaProbe&) = delete;

  // Opens and analyses the file; formatName forces the input format (empty:
  // detect). Raises EngineException when the libraries are not loaded; any other
  // failure returns false with LastErrorMessage set and the probe closed.
  bool LoadFile(const std::string& fileName, const std::string& formatName = {});
  // Analyses an input opened elsewhere; the probe never closes it.
  void Attach(AVFormatContext* context);
  void Close();

  TFileStreamInfo FileStreamInfo();
  // index -1: the first stream of that kind.
  TAudioStreamInfo AudioStreamInfo(int index = -1);
  TVideoStreamInfo VideoStreamInfo(int index = -1);
  bool IsAudioStream(int index);
  bool IsVideoStream(int index);
  std::string FileInfoText();
  std::string FileName();
  std::string FormatName();

  const std::string& LastErrorMessage() const { return lastError_; }
  bool Loaded() const { return context_ != nullptr; }
  std::int64_t FileSize() const { return fileSize_; }
  int StreamCount() const { return streamCount_; }
  int ProgramCount() const { return programCount_; }
  int AudioStreamCount() const { return audioCount_; }
  int VideoStreamCount() const { return videoCount_; }
  int SubtitleStreamCount() const { return subtitleCount_; }
  int FirstAudioStreamIndex() const { return firstAudio_; }
  int FirstVideoStreamIndex() const { return firstVideo_; }
  int FirstSubtitleStreamIndex() const { return firstSubtitle_; }

 protected:
  virtual void Analyse();
  AVFormatContext* context() const { return context_; }
  // The reader of an "opendvd:" source, nullptr for other sources.
  DvdInput* dvd() const { return dvd_.get(); }
  // Records the failure in LastErrorMessage and the log; libraryLevel 16 error, 24 warning.
  void Fail(const std::string& message, int libraryLevel = 16);

 private:
  bool RequireFile();
  bool IsStreamOfType(int index, int type);
  // The stream of the kind at index (-1: the first), or nullptr with the error set.
  struct AVStream* StreamOfKind(int index, int kind);
  std::string StreamLine(int index);
  void ResetCounts();

  AVFormatContext* context_ = nullptr;
  bool ownsContext_ = false;
  std::unique_ptr<DvdInput> dvd_;  // the reader of an "opendvd:" source
  std::string lastError_;
  std::string forcedFormat_;
  std::int64_t fileSize_ = -1;
  int streamCount_ = -1, programCount_ = -1;
  int audioCount_ = -1, videoCount_ = -1, subtitleCount_ = -1;
  int firstAudio_ = -1, firstVideo_ = -1, firstSubtitle_ = -1;
};

// The probe with the default stream: the first video stream, else the first
// audio stream, and that stream's start time.
class TMediaProbe : public TCustomMediaProbe {
 public:
  int DefaultStreamIndex() const { return defaultStream_; }
  // In the default stream's time base; the file's start time without such a
  // stream; 0 when unknown.
  std::int64_t DefaultStreamStartTime() const { return defaultStartTime_; }

 protected:
  void Analyse() override;

 private:
  int defaultStream_ = -1;
  std::int64_t defaultStartTime_ = 0;
};

// The probe's text for a codec: "name(long name)", or a fallback from the tag.
std::string CodecNameText(int codecId, unsigned codecTag);
