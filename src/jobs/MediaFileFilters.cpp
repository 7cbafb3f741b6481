#include "jobs/MediaFileFilters.h"

#include <QFileInfo>

namespace {

constexpr const char* kFilters[][2] = {
    {"All Supported Video Formats",
     "*.AVI;*.AVM;*.ASF;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.3G2;*.M4V;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;*.RM;*.RMVB;"
     "*.TS;*.TP;*.IFO;*.NSV;*.SWF;"},
    {"All Supported Audio Formats",
     "*.MP3;*.AAC;*.WAV;*.WMA;*.OGG;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;*.OGG;*.RA;*.WV;*.TTA;"
     "*.AC3;*.DTS;"},
    {"AVI files (*.avi)", "*.avi"},
    {"MPEG4 files (*.mp4)", "*.mp4"},
    {"MPEG files (*.mpg,*.mpeg)", "*.mpg;*.mpeg"},
    {"3GP files (*.3gp,*.3g2)", "*.3gp;*.3g2"},
    {"Itunes Video files (*.m4v)", "*.m4v"},
    {"Windows Media files (*.wmv,*.asf)", "*.wmv;*.asf"},
    {"Real Media files (*.rm,*.rmvb)", "*.rm;*.rmvb"},
    {"Video CD files (*.dat)", "*.dat"},
    {"Quick Time files (*.mov)", "*.mov"},
    {"Flash Video files (*.flv)", "*.flv"},
    {"Matroska Video files (*.mkv)", "*.mkv"},
    {"MJPEG Video files (*.mjpg,*.mjpeg)", "*.mjpg;*.mjpeg"},
    {"Animated GIF files (*.gif)", "*.gif"},
    {"H.264/MPEG4 AVC Video files (*.mts,*.m2ts)", "*.mts;*.m2ts"},
    {"DVD video object files (*.vob)", "*.vob"},
    {"MPEG-1 Video files (*.mpv)", "*.mpv"},
    {"Video Transport Stream files (*.ts)", "*.ts"},
    {"TP Video files (*.tp)", "*.tp"},
    {"Maceomeida Flash files (*.swf)", "*.swf"},
    {"MP3 Audio files (*.mp3)", "*.mp3"},
    {"Advanced Audio Coding files (*.aac)", "*.aac"},
    {"Monkey's Audio files (*.ape)", "*.ape"},
    {"Ogg Vorbis Audio files (*.ogg)", "*.ogg"},
    {"Windows Media Audio files (*.wma)", "*.wma"},
    {"MusePack Audio files (*.mpc)", "*.mpc"},
    {"MPEG Audio files (*.mpa)", "*.mpa"},
    {"MPEG-4 Audio files (*.m4a)", "*.m4a"},
    {"Matroska Audio files (*.mka)", "*.mka"},
    {"DTS Audio files (*.dts)", "*.dts"},
    {"Audio Codec 3 files (*.ac3)", "*.ac3"},
    {"Speex Audio files (*.spx)", "*.spx"},
    {"Real Audio files (*.ra,*.ram)", "*.ra;*.ram"},
    {"MPEG Layer II Compressed Audio files (*.mp2)", "*.mp2"},
    {"All files (*.*)", "*.*"},
};

}  // namespace

QList<FileFilter> MediaFileFilters() {
  QList<FileFilter> filters;
  for (const auto& [description, patterns] : kFilters)
    filters.append({QString::fromLatin1(description), QString::fromLatin1(patterns)});
  return filters;
}

bool IsSupportedMediaFile(const QString& fileName) {
  const QString suffix = "*." + QFileInfo(fileName).suffix().toUpper() + ";";
  return suffix.size() > 3 && (QString::fromLatin1(kFilters[0][1]).contains(suffix) ||
                               QString::fromLatin1(kFilters[1][1]).contains(suffix));
}
