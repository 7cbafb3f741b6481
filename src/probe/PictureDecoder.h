#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;

// Decodes one video stream of an opened input from wherever its demuxer
// stands; every other stream is discarded. Does not own the input. Throws
// EngineException (naming `source`) when the stream has no usable decoder.
class PictureDecoder {
 public:
  PictureDecoder(AVFormatContext* input, int stream, const std::string& source);

  // The next picture, owned by the decoder and valid until the next call;
  // nullptr at the end of the stream or when reading fails.
  AVFrame* Next();
  // Drops the pictures held from before a seek of the input.
  void Restart();
  // The picture's time in microseconds of the input's clock, or AV_NOPTS_VALUE.
  std::int64_t TimeOf(const AVFrame& picture) const;

 private:
  struct Free {
    void operator()(AVCodecContext* codec) const;
    void operator()(AVPacket* packet) const;
    void operator()(AVFrame* picture) const;
  };

  AVFormatContext* input_;
  int stream_;
  std::unique_ptr<AVCodecContext, Free> codec_;
  std::unique_ptr<AVPacket, Free> packet_;
  std::unique_ptr<AVFrame, Free> picture_;
};
