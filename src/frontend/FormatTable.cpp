#include "frontend/FormatTable.h"

#include <algorithm>

namespace format_catalogue {

namespace {

template <typename Row, typename Match>
const Row* FindRow(const std::vector<Row>& rows, Match match) {
  const auto row = std::find_if(rows.begin(), rows.end(), match);
  return row == rows.end() ? nullptr : &*row;
}

}  // namespace

const std::vector<FormatGroup>& groups() {
  static const std::vector<FormatGroup> rows{
      {"Apple iPhone", GroupPicture::Iphone,
       {"iPhone MPEG-4 Extra Video (*.mp4)", "iPhone MPEG-4 Wide Screen (*.mp4)",
        "iPhone MPEG-4 Movie (*.mp4)", "iPhone Movie for 480p TV Out (*.mp4)",
        "iPhone Movie for 576p TV Out (*.mp4)"}},
      {"GPhone", GroupPicture::Gphone, {"GPhone MPEG-4 Movie (*.mp4)"}},
      {"Mobile Phone", GroupPicture::MobilePhone,
       {"Mobile Phone 3GP h263 Video(*.3gp)", "Mobile Phone 3GP MPEG-4 Video(*.3gp)",
        "Mobile Phone 3GP2 h263 Video(*.3gp)", "Mobile Phone 3GP2 MPEG-4 Video(*.3gp)",
        "Mobile Phone MPEG-4 Video(*.mp4)", "Nokia N Series MPEG-4 Video(*.mp4)"}},
      {"BlackBerry", GroupPicture::BlackBerry, {"BlackBerry MPEG-4 Video(*.mp4)"}},
      {"Nokia", GroupPicture::Nokia, {"Nokia N Series MPEG-4 Video (*.mp4)"}},
      {"Windows Mobile", GroupPicture::PocketPc,
       {"Dell Axim 51 Video (*.wmv)", "Dell Axim 51V Video (*.wmv)",
        "HP iPAQ hw6500 Series Video (*.wmv)", "HP iPAQ hx2000/rx3000/rx1900 Series Video (*.wmv)",
        "HP iPAQ hx4700 Series Video (*.wmv)", "Palm Treo Series Video (*.wmv)",
        "HTC Touch Diamond Video (*.wmv)", "General Pocket PC Video (*.wmv)"}},
      {"General Video formates", GroupPicture::Film,
       {"MPEG-1 Video (*.mpg)", "MPEG-2 Video (*.mpg)", "MPEG-4 Video (*.mp4)",
        "H.264/MPEG-4 AVC Video (*.mp4)", "AVI Video (*.avi)", "WMV Video (*.wmv)",
        "Divx Video (*.avi)", "Xvid Video (*.avi)", "DV - NTSC -Digital Video Format (*.dv)",
        "DV - PAL -Digital Video Format (*.dv)"}},
      {"General Audio formates", GroupPicture::Note,
       {"MP3 MPEG Layer-3 Audio (*.mp3)", "AAC Advenced Audio Codec (*.aac)",
        "M4A MPEG-4 Audio (*.m4a)", "WMA - Windows Meida Audio (*.wma)",
        "WAV - Waveform Audio (*.wav)", "OGG Vorbis Audio Codec (*.ogg)",
        "AC-3 Audio Codec (*.ac3)"}},
      {"Phones and Tablets", GroupPicture::Tablet,
       {"Phone and Tablet H.264 HD 720p (*.mp4)", "Phone and Tablet H.264 Full HD 1080p (*.mp4)",
        "Phone and Tablet HEVC Full HD 1080p (*.mp4)"}},
      {"TV and Streaming Sticks", GroupPicture::Television,
       {"TV H.264 Full HD 1080p (*.mp4)", "TV HEVC 4K 2160p (*.mp4)"}},
      {"Web", GroupPicture::Web, {"WebM VP9 Video (*.webm)", "WebM AV1 Video (*.webm)"}},
      {"Archive", GroupPicture::Archive,
       {"Archive H.264 with All Tracks and Chapters (*.mkv)", "Archive HEVC with All Tracks and Chapters (*.mkv)"}},
      {"Audio for Today's Players", GroupPicture::Waveform,
       {"Opus Audio (*.opus)", "FLAC Lossless Audio (*.flac)"}},
  };
  return rows;
}

const std::vector<EncoderRow>& encoders() {
  using enum EncoderKind;
  using enum EncoderUse;
  static const std::vector<EncoderRow> rows{
      {Video, "mpeg-4", "mpeg4"},
      {Video, "xvid", "libxvid"},
      {Video, "h264", "libx264", DevicePreset, nullptr, "crf", "profile=high\npreset=medium"},
      {Video, "hevc", "libx265", Named, nullptr, "crf", "preset=fast\nx265-params=log-level=error", "hvc1"},
      {Video, "vp9", "libvpx-vp9", Named, nullptr, "crf", "deadline=good\ncpu-used=5\nrow-mt=1"},
      {Video, "av1", "libsvtav1", Named, nullptr, "crf", "preset=8"},
      {Video, "3gp", "3gp", ByContainer},
      {Video, "3g2", "3g2", ByContainer},
      {Video, "mov", "mov", ByContainer},
      {Video, "wmv1", "wmv1"},
      {Video, "wmv2", "wmv2"},
      {Video, "wmv3", "wmv3", ByContainer},
      {Video, "flv", "flv", ByContainer},
      {Video, "swf", "swf", ByContainer},
      {Video, "msmpeg4", "msmpeg4"},
      {Video, "msmpeg4v1", "msmpeg4v1"},
      {Video, "msmpeg4v2", "msmpeg4v2"},
      {Video, "mpeg1video", "mpeg1video"},
      {Video, "mpeg2video", "mpeg2video", DvdTarget},
      {Video, "h263", "h263"},
      {Video, "h263p", "h263p"},
      {Video, "rawvideo", "rawvideo"},
      {Video, "rv10", "rv10"},
      {Video, "rv20", "rv20"},
      {Video, "dvvideo", "dvvideo"},
      {Video, "huffyuv", "huffyuv"},
      {Video, "ljpeg", "ljpeg"},
      {Video, "mjpeg", "mjpeg"},
      {Video, "svq1", "svq1"},
      {Video, "zlib", "zlib"},
      {Audio, "mp3", "libmp3lame"},
      {Audio, "ogg", "vorbis"},
      {Audio, "mp2", "mp2"},
      {Audio, "aac", "libfaac"},
      {Audio, "opus", "libopus"},
      {Audio, "copy", "copy"},
      {Audio, "ac-3", "ac3"},
      {Audio, "flac", "libflac"},
      {Audio, "amr_nb", "libopencore_amrnb"},
      {Audio, nullptr, "libamr_nb", Named, "libopencore_amrnb"},
      {Audio, "pcm_s16", "pcm_s16le"},
      {Audio, "pcm_u16", "pcm_u16le"},
      {Audio, "pcm_alaw", "pcm_alaw"},
      {Audio, "pcm_mulaw ", "pcm_mulaw"},  // the item as the panel has always matched it
      {Audio, "adpcm_ms", "adpcm_ms"},
      {Audio, "adpcm_ima_wav", "adpcm_ima_wav"},
      {Audio, "wma1", "wmav1"},
      {Audio, "wma2", "wmav2"},
  };
  return rows;
}

const std::vector<TargetRow>& targets() {
  static const std::vector<TargetRow> rows{
      {"ipod", true, true}, {"psp", true, true},  {"ps3", false, true},   {"3gp", true, false},
      {"3g2", true, false}, {"avi", true, false}, {"mov", true, false},   {"vcd", true, false},
      {"flv", true, false}, {"mpegts", true, false}, {"vob", true, false},
  };
  return rows;
}

const std::vector<DiscTarget>& discTargets() {
  static const std::vector<DiscTarget> rows{
      {"ntsc-dvd", kDvdTarget, kNtscNorm, "720x480"}, {"pal-dvd", kDvdTarget, kPalNorm, "720x576"},
      {"ntsc-vcd", kVcdTarget, kNtscNorm, nullptr},   {"pal-vcd", kVcdTarget, kPalNorm, nullptr},
      {"ntsc-svcd", kSvcdTarget, kNtscNorm, nullptr}, {"pal-svcd", kSvcdTarget, kPalNorm, nullptr},
  };
  return rows;
}

const std::vector<CurrentTarget>& currentTargets() {
  constexpr const char* kFastStart = "movflags=+faststart";
  static const std::vector<CurrentTarget> rows{
      {"phone-720p", "mp4", kFastStart, 1280, 720, true},
      {"phone-1080p", "mp4", kFastStart, 1920, 1080, true},
      {"tv-1080p", "mp4", kFastStart, 1920, 1080, true, false, true},
      {"tv-2160p", "mp4", kFastStart, 3840, 2160, true, false, true},
      {"webm", "webm", nullptr, 1920, 1080},
      {"archive-mkv", "matroska", nullptr, 0, 0, true, true},
      {"opus", "opus"},
      {"flac", "flac"},
  };
  return rows;
}

const std::vector<StoredItem>& channels() {
  static const std::vector<StoredItem> rows{
      {"as source", "as source"}, {"mono 1 channel", "1"}, {"stereo 2 channels", "2"}};
  return rows;
}

const std::vector<int>& volumePercents() {
  static const std::vector<int> rows{25, 50, 75, 100, 125, 150, 175, 200, 250, 300, 350, 400};
  return rows;
}

const std::vector<ParameterList>& parameterLists() {
  using enum ItemStore;
  static const std::vector<ParameterList> rows{
      {"paraVideoSize", "VideoSize", "iVideoSize", AsText},
      {"paraVideoBitRate", "VideoBitRate", "iVideoBitRate", AsText},
      {"paraFrameRate", "FrameRate", "iFrameRate", AsText},
      {"paraVideoEncoder", "VideoEncoder", "iVideoEncoder", VideoEncoder},
      {"paraAudioBitRate", "AudioBitRate", "iAudioBitRate", AsText},
      {"paraSampleRate", "SampleRate", "iSampleRate", AsText},
      {"paraAudioEncoder", "AudioEncoder", "iAudioEncoder", AudioEncoder},
      {"paraChannel", "Channel", "iChannel", Channel},
      {"paraVolume", "Volume", "iVolume", Volume},
  };
  return rows;
}

const std::vector<const char*>& legacyFormatItems() {
  static const std::vector<const char*> rows{
      "3GPP  -h263 - 3rd Generation Partnership Project (*.3gp)",
      "3GPP  -mpeg4- 3rd Generation Partnership Project (*.3gp)",
      "3GPP2 -h263 - 3rd Generation Partnership Project2 (*.3g2)",
      "3GPP2 -mpeg4- 3rd Generation Partnership Project2 (*.3g2)",
      "DivX Movie (*.avi)",
      "MOV - QuickTime (*.mov)",
      "MPEG-1 Moive (*.mpg)",
      "MPEG-4 H.264/AVC Video (*.mp4)",
      "WAV - Waveform Audio (*.wav)",
      "WMA - Windows Meida Audio (*.wma)",
      "WMV - Windows Media Video (*.wmv)",
      "Xvid Movie (*.avi)",
      "M4A MPEG-4 Audio (*.m4a)",
      "M4V MPEG-4 Video (*.m4v)",
      "MP3 MPEG Layer-3 Audio (*.mp3)",
      "AAC Advenced Audio Codec (*.aac)",
  };
  return rows;
}

const EncoderRow* EncoderOfItem(EncoderKind kind, std::string_view lowerCaseItem) {
  return FindRow(encoders(), [&](const EncoderRow& row) {
    return row.kind == kind && row.item && row.item == lowerCaseItem;
  });
}

const EncoderRow* EncoderStoredAs(EncoderKind kind, std::string_view stored) {
  return FindRow(encoders(), [&](const EncoderRow& row) { return row.kind == kind && row.stored == stored; });
}

const TargetRow* TargetNamed(std::string_view lowerCaseName) {
  return FindRow(targets(), [&](const TargetRow& row) { return row.name == lowerCaseName; });
}

const DiscTarget* DiscTargetNamed(std::string_view lowerCaseName) {
  return FindRow(discTargets(), [&](const DiscTarget& row) { return row.name == lowerCaseName; });
}

const CurrentTarget* CurrentTargetNamed(std::string_view lowerCaseName) {
  return FindRow(currentTargets(), [&](const CurrentTarget& row) { return row.name == lowerCaseName; });
}

const ParameterList* ParameterListOf(std::string_view paraKey) {
  return FindRow(parameterLists(), [&](const ParameterList& row) { return row.paraKey == paraKey; });
}

}  // namespace format_catalogue
