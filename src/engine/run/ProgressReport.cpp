// Progress reports (the text line and the values handed to the progress
// callback), the final summary and the per-frame video statistics file.
#include <cmath>

#include "engine/run/ProgressReport.h"
#include "media/EngineException.h"
#include "media/MediaLogger.h"
#include "media/MediaUtils.h"

namespace {

double psnr(double meanSquaredError) { return -10.0 * std::log10(std::max(meanSquaredError, 1e-10)); }

}  // namespace

ProgressReport::ProgressReport(RunContext& run, RunOutputs& outputs, const Muxer& muxer)
    : run_(run), outputs_(outputs), muxer_(muxer) {}

ProgressReport::~ProgressReport() {
  if (vstats_) std::fclose(vstats_);
}

void ProgressReport::Start() { started_ = lastReport_ = Clock::now(); }

bool ProgressReport::Due() const {
  return Clock::now() - lastReport_ >= std::chrono::microseconds(run_.progressInterval);
}

std::string ProgressReport::ReportText(bool final, int framesPerSecond, double seconds, std::int64_t size) {
  std::string text;
  bool firstVideo = true;
  for (const auto& output : outputs_.All()) {
    if (output.file != 0 || output.stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    const float quality = output.encoder ? output.quality : -1;
    if (!firstVideo) {
      text += StringPrintf("q=%2.1f ", quality);
      continue;
    }
    firstVideo = false;
    text += StringPrintf("frame=%5d fps=%3d q=%3.1f ", int(output.frameNumber), framesPerSecond, quality);
    if (final) text += "L";
    if (run_.settings.qpHistogram)
      for (int j = 0; j < 32; ++j) text += StringPrintf("%X", int(std::lrint(std::log2(qpHistogram_[size_t(j)] + 1.0))));
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
  if (counts_.duplicated || counts_.dropped) text += StringPrintf(" dup=%d drop=%d", counts_.duplicated, counts_.dropped);
  return text;
}

void ProgressReport::Report(bool final) {
  lastReport_ = Clock::now();
  if (!final && !run_.onProgress && run_.settings.verbosity <= 0) return;
  AVFormatContext* first = run_.outputFiles.front().context;
  std::int64_t size = first->pb ? media::avio_size(first->pb) : 0;
  if (size <= 0 && first->pb) size = media::avio_seek(first->pb, 0, SEEK_CUR);
  const OutputStreamState* video = nullptr;
  for (const auto& output : outputs_.All())
    if (output.file == 0 && output.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      video = &output;
      break;
    }
  if (video && video->frameNumber == 0 && !final) return;

  double seconds = 1e10;
  for (const auto& output : outputs_.All()) {
    const double time = output.OutputSeconds();
    if (time > 0 && time < seconds) seconds = time;
  }
  seconds = std::max(seconds, 0.01);
  const double elapsed = std::chrono::duration<double>(Clock::now() - started_).count();
  const int framesPerSecond = video && elapsed >= 1 ? int(double(video->frameNumber) / elapsed + 0.5) : 0;
  const std::string text = ReportText(final, framesPerSecond, seconds, size);

  auto& logger = TMediaLogger::instance();
  if (run_.onProgress) {
    TaskProgress progress;
    progress.fileIndex = final ? -1 : readingFile_;
    progress.frameNumber = video ? int(video->frameNumber) : 0;
    progress.framesPerSecond = framesPerSecond;
    progress.quality = video && video->encoder ? video->quality : -1;
    progress.bitRate = float(double(size) * 8 / seconds / 1000);
    progress.currentSize = size;
    progress.currentDuration = seconds >= 1e10 ? 0 : std::int64_t(seconds * AV_TIME_BASE);
    progress.totalDuration = run_.settings.expectedDuration;
    progress.text = text;
    run_.onProgress(progress);
    if (counts_.duplicated != lastDuplicated_ || counts_.dropped != lastDropped_) logger.Log(&run_.task, llVerbose, text);
  } else if (run_.settings.verbosity >= 0) {
    logger.Log(&run_.task, llVerbose, text);
  }
  lastDuplicated_ = counts_.duplicated;
  lastDropped_ = counts_.dropped;
  if (final && run_.settings.verbosity >= 0) {
    const MuxedBytes& bytes = muxer_.Bytes();
    const double sum = double(bytes.video + bytes.audio + bytes.extra);
    logger.LogFmt(&run_.task, llInfo, "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                  double(bytes.video) / 1024, double(bytes.audio) / 1024, double(bytes.extra) / 1024,
                  sum > 0 ? (double(size) - sum) * 100 / sum : 0.0);
  }
}

void ProgressReport::NoteVideoPacket(OutputStreamState& output, const AVPacket* data) {
  std::size_t size = 0;
  const std::uint8_t* stats = media::av_packet_get_side_data(data, AV_PKT_DATA_QUALITY_STATS, &size);
  if (stats && size >= 4) {
    const auto lambda = std::int32_t(AV_RL32(stats));
    output.quality = lambda < 0 ? -1.0f : float(lambda) / FF_QP2LAMBDA;
    if (run_.settings.qpHistogram) {
      const int bucket = int(output.quality + 0.5f);
      if (bucket >= 0 && bucket < int(qpHistogram_.size())) ++qpHistogram_[size_t(bucket)];
    }
    if (size >= 6 && stats[5] >= 3 && size >= 8 + 8 * 3) {
      for (int i = 0; i < 3; ++i) output.error[size_t(i)] = std::int64_t(AV_RL64(stats + 8 + 8 * i));
    }
    output.pictureType = size >= 5 ? stats[4] : 0;
  }
  if (vstats_ || !run_.settings.vstatsFile.empty()) WriteVideoStats(output, data);
}

void ProgressReport::WriteVideoStats(const OutputStreamState& output, const AVPacket* data) {
  if (!vstats_) {
    vstats_ = std::fopen(run_.settings.vstatsFile.c_str(), "w");
    if (!vstats_) throw EngineException("fopen fail: " + run_.settings.vstatsFile);
  }
  const AVCodecContext* encoder = output.encoder;
  const MuxedBytes& bytes = muxer_.Bytes();
  std::fprintf(vstats_, "frame= %5d q= %2.1f ", int(output.frameNumber), output.quality);
  if (encoder->flags & AV_CODEC_FLAG_PSNR)
    std::fprintf(vstats_, "PSNR= %6.2f ",
                 psnr(double(output.error[0]) / (double(encoder->width) * encoder->height * 255.0 * 255.0)));
  std::fprintf(vstats_, "f_size= %6d ", data->size);
  const double time = std::max(output.OutputSeconds(), 0.001);
  const double frameRate = av_q2d(encoder->framerate);
  std::fprintf(vstats_, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
               double(bytes.video) / 1024, time, data->size * 8 * frameRate / 1000, double(bytes.video) * 8 / time / 1000);
  std::fprintf(vstats_, "type= %c\n", media::av_get_picture_type_char(AVPictureType(output.pictureType)));
}
