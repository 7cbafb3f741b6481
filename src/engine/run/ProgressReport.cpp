// Progress reports (the text line and the values handed to the progress
// callback), the final summary and the per-frame video statistics file.
#include <cmath>

#include "engine/run/TranscodeRun.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

double psnr(double meanSquaredError) { return -10.0 * std::log10(std::max(meanSquaredError, 1e-10)); }

}  // namespace

std::string TranscodeRun::ReportText(bool final, int framesPerSecond, double seconds, std::int64_t size) {
  std::string text;
  bool firstVideo = true;
  for (const auto& output : outputStreams) {
    if (output.file != 0 || output.stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    const float quality = output.encoder ? output.quality : -1;
    if (!firstVideo) {
      text += StringPrintf("q=%2.1f ", quality);
      continue;
    }
    firstVideo = false;
    text += StringPrintf("frame=%5d fps=%3d q=%3.1f ", int(output.frameNumber), framesPerSecond, quality);
    if (final) text += "L";
    if (settings.qpHistogram)
      for (int j = 0; j < 32; ++j) text += StringPrintf("%X", int(std::lrint(std::log2(qpHistogram[size_t(j)] + 1.0))));
    if (output.encoder && (output.encoder->flags & AV_CODEC_FLAG_PSNR)) {
      const double pixels = double(output.encoder->width) * output.encoder->height * 255.0 * 255.0;
      double total = 0;
      text += "PSNR=";
      for (int j = 0; j < 3; ++j) {
        const double scale = j ? pixels / 4 : pixels;
        total += double(output.error[size_t(j)]);
        text += StringPrintf("%c:%2.2f ", "YUV"[j], psnr(double(output.error[size_t(j)]) / scale));
      }
      text += StringPrintf("*:%2.2f ", psnr(total / (pixels * 1.5)));
    }
  }
  text += StringPrintf("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", double(size) / 1024, seconds,
                       double(size) * 8 / seconds / 1000);
  if (framesDuplicated || framesDropped) text += StringPrintf(" dup=%d drop=%d", framesDuplicated, framesDropped);
  return text;
}

void TranscodeRun::Report(bool final) {
  lastReport = Clock::now();
  if (!final && !task.onProgress_ && settings.verbosity <= 0) return;
  AVFormatContext* first = task.outputs_.front().context;
  std::int64_t size = first->pb ? media::avio_size(first->pb) : 0;
  if (size <= 0 && first->pb) size = media::avio_seek(first->pb, 0, SEEK_CUR);
  const OutputStreamState* video = nullptr;
  for (const auto& output : outputStreams)
    if (output.file == 0 && output.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      video = &output;
      break;
    }
  if (video && video->frameNumber == 0 && !final) return;

  double seconds = 1e10;
  for (const auto& output : outputStreams) {
    const double time = output.OutputSeconds();
    if (time > 0 && time < seconds) seconds = time;
  }
  seconds = std::max(seconds, 0.01);
  const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
  const int framesPerSecond = video && elapsed >= 1 ? int(double(video->frameNumber) / elapsed + 0.5) : 0;
  const std::string text = ReportText(final, framesPerSecond, seconds, size);

  auto& logger = TMediaLogger::instance();
  if (task.onProgress_) {
    TaskProgress progress;
    progress.fileIndex = final ? -1 : readingFile;
    progress.frameNumber = video ? int(video->frameNumber) : 0;
    progress.framesPerSecond = framesPerSecond;
    progress.quality = video && video->encoder ? video->quality : -1;
    progress.bitRate = float(double(size) * 8 / seconds / 1000);
    progress.currentSize = size;
    progress.currentDuration = seconds >= 1e10 ? 0 : std::int64_t(seconds * AV_TIME_BASE);
    progress.totalDuration = settings.expectedDuration;
    progress.text = text;
    task.onProgress_(progress);
    if (framesDuplicated != lastDuplicated || framesDropped != lastDropped) logger.Log(&task, llVerbose, text);
  } else if (settings.verbosity >= 0) {
    logger.Log(&task, llVerbose, text);
  }
  lastDuplicated = framesDuplicated;
  lastDropped = framesDropped;
  if (final && settings.verbosity >= 0) {
    const double sum = double(videoBytes + audioBytes + extraBytes);
    logger.LogFmt(&task, llInfo, "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                  double(videoBytes) / 1024, double(audioBytes) / 1024, double(extraBytes) / 1024,
                  sum > 0 ? (double(size) - sum) * 100 / sum : 0.0);
  }
}

void TranscodeRun::WriteVideoStats(const OutputStreamState& output, const AVPacket* data) {
  if (!vstats) {
    vstats = std::fopen(settings.vstatsFile.c_str(), "w");
    if (!vstats) throw EngineException("fopen fail: " + settings.vstatsFile);
  }
  const AVCodecContext* encoder = output.encoder;
  std::fprintf(vstats, "frame= %5d q= %2.1f ", int(output.frameNumber), output.quality);
  if (encoder->flags & AV_CODEC_FLAG_PSNR)
    std::fprintf(vstats, "PSNR= %6.2f ",
                 psnr(double(output.error[0]) / (double(encoder->width) * encoder->height * 255.0 * 255.0)));
  std::fprintf(vstats, "f_size= %6d ", data->size);
  const double time = std::max(output.OutputSeconds(), 0.001);
  const double frameRate = av_q2d(encoder->framerate);
  std::fprintf(vstats, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
               double(videoBytes) / 1024, time, data->size * 8 * frameRate / 1000, double(videoBytes) * 8 / time / 1000);
  std::fprintf(vstats, "type= %c\n", media::av_get_picture_type_char(AVPictureType(output.pictureType)));
}
