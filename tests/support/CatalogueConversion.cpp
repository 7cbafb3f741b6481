#include "support/CatalogueConversion.h"

#include "engine/face/MediaEngine.h"
#include "frontend/DeinterlaceChoice.h"
#include "frontend/DestinationPath.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "frontend/TaskBuilder.h"

namespace {

void DescribeVideo(const AVStream& stream, Described& file) {
  const AVCodecParameters* codec = stream.codecpar;
  file.videoCodec = media::avcodec_get_name(codec->codec_id);
  if (const char* profile = media::avcodec_profile_name(codec->codec_id, codec->profile)) file.videoProfile = profile;
  if (codec->codec_tag) {
    for (int shift = 0; shift < 32; shift += 8) file.videoTag += char((codec->codec_tag >> shift) & 0xFF);
  }
  file.width = codec->width;
  file.height = codec->height;
  file.pixelAspect = stream.sample_aspect_ratio.num ? stream.sample_aspect_ratio : codec->sample_aspect_ratio;
  file.frameRate = stream.avg_frame_rate;
}

}  // namespace

Described Describe(const std::string& path) {
  Described file;
  AVFormatContext* input = nullptr;
  if (media::avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return file;
  media::avformat_find_stream_info(input, nullptr);
  file.demuxer = input->iformat->name;
  if (const AVDictionaryEntry* brand = media::av_dict_get(input->metadata, "major_brand", nullptr, 0))
    file.brand = brand->value;
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* stream = input->streams[i]->codecpar;
    if (stream->codec_type == AVMEDIA_TYPE_VIDEO && file.videoCodec.empty()) DescribeVideo(*input->streams[i], file);
    if (stream->codec_type == AVMEDIA_TYPE_SUBTITLE && file.subtitleCodec.empty())
      file.subtitleCodec = media::avcodec_get_name(stream->codec_id);
    if (stream->codec_type != AVMEDIA_TYPE_AUDIO) continue;
    if (file.audioCodec.empty()) file.audioCodec = media::avcodec_get_name(stream->codec_id);
    ++file.audioStreams;
  }
  media::avformat_close_input(&input);
  return file;
}

std::string Conversion::Run(const std::string& source, const TFileJob& job) {
  TMediaEngine engine;
  if (!engine.Probe().LoadFile(source)) return fail(engine.Probe().LastErrorMessage());
  const IniFile settings(platform_paths::SettingsFilePath());
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  const std::string destination = MakeDestinationPath(home_.path().toStdString(), source,
                                                      "." + format_catalogue::FormatFileExt(catalogue, code_));
  TInputOptions input;
  input.FileName = source;
  deinterlace_choice::ApplyTo(settings, input);
  TOutputOptions output;
  output.FileName = destination;
  BuildTaskOptions(job, FormatParameters(settings, catalogue, code_), output, engine.Probe(), input,
                   [](const std::string&, const std::string&) { return true; });
  engine.Probe().Close();
  const int task = engine.AddTask(source, &input);
  if (task < 0 || !engine.SetOutputFile(task, destination, &output)) return fail(engine.LastErrorMessage());
  TTerminateInfo end;
  engine.OnTerminate = [&](TCustomMediaEngine*, const TTerminateInfo& info) {
    if (info.TaskIndex >= 0) end = info;
  };
  engine.StartTask(0);
  if (!end.Finished) return fail(end.ExceptionMsg.empty() ? "not finished" : end.ExceptionMsg);
  return destination;
}

std::string Conversion::fail(const std::string& message) {
  error_ = message;
  return {};
}
