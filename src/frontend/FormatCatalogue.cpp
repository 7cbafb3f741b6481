#include "frontend/FormatCatalogue.h"

#include "app/IniFile.h"

namespace format_catalogue {

const std::array<FormatGroup, kGroupCount>& groups() {
  static const std::array<FormatGroup, kGroupCount> list{{
      {"Apple iPhone",
       {"iPhone MPEG-4 Extra Video (*.mp4)", "iPhone MPEG-4 Wide Screen (*.mp4)",
        "iPhone MPEG-4 Movie (*.mp4)", "iPhone Movie for 480p TV Out (*.mp4)",
        "iPhone Movie for 576p TV Out (*.mp4)"}},
      {"GPhone", {"GPhone MPEG-4 Movie (*.mp4)"}},
      {"Mobile Phone",
       {"Mobile Phone 3GP h263 Video(*.3gp)", "Mobile Phone 3GP MPEG-4 Video(*.3gp)",
        "Mobile Phone 3GP2 h263 Video(*.3gp)", "Mobile Phone 3GP2 MPEG-4 Video(*.3gp)",
        "Mobile Phone MPEG-4 Video(*.mp4)", "Nokia N Series MPEG-4 Video(*.mp4)"}},
      {"BlackBerry", {"BlackBerry MPEG-4 Video(*.mp4)"}},
      {"Nokia", {"Nokia N Series MPEG-4 Video (*.mp4)"}},
      {"Windows Mobile",
       {"Dell Axim 51 Video (*.wmv)", "Dell Axim 51V Video (*.wmv)",
        "HP iPAQ hw6500 Series Video (*.wmv)", "HP iPAQ hx2000/rx3000/rx1900 Series Video (*.wmv)",
        "HP iPAQ hx4700 Series Video (*.wmv)", "Palm Treo Series Video (*.wmv)",
        "HTC Touch Diamond Video (*.wmv)", "General Pocket PC Video (*.wmv)"}},
      {"General Video formates",
       {"MPEG-1 Video (*.mpg)", "MPEG-2 Video (*.mpg)", "MPEG-4 Video (*.mp4)",
        "H.264/MPEG-4 AVC Video (*.mp4)", "AVI Video (*.avi)", "WMV Video (*.wmv)",
        "Divx Video (*.avi)", "Xvid Video (*.avi)", "DV - NTSC -Digital Video Format (*.dv)",
        "DV - PAL -Digital Video Format (*.dv)"}},
      {"General Audio formates",
       {"MP3 MPEG Layer-3 Audio (*.mp3)", "AAC Advenced Audio Codec (*.aac)",
        "M4A MPEG-4 Audio (*.m4a)", "WMA - Windows Meida Audio (*.wma)",
        "WAV - Waveform Audio (*.wav)", "OGG Vorbis Audio Codec (*.ogg)",
        "AC-3 Audio Codec (*.ac3)"}},
  }};
  return list;
}

QString SectionName(int code) { return QStringLiteral("formatInfo") + QString::number(code); }

QString FileExtension(const IniFile& catalogue, int code) {
  return QString::fromStdString(catalogue.readString(SectionName(code).toStdString(), "FileExt", "mp4"));
}

QStringList SplitItemList(const QString& list) {
  if (list.isEmpty() || list == QLatin1String("null")) return {};
  return list.split(',');
}

QStringList OutputFormatComboItems() {
  return {"3GPP  -h263 - 3rd Generation Partnership Project (*.3gp)",
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
          "AAC Advenced Audio Codec (*.aac)"};
}

}  // namespace format_catalogue

void FormatNameTable::clear() {
  for (auto& row : names_) row.fill(QString());
}

void FormatNameTable::fill() {
  clear();
  const auto& groups = format_catalogue::groups();
  for (int g = 0; g < format_catalogue::kGroupCount; ++g)
    for (int p = 0; p < groups[size_t(g)].names.size(); ++p) names_[size_t(g)][size_t(p)] = groups[size_t(g)].names[p];
}

const QString& FormatNameTable::name(int group, int position) const {
  return names_.at(size_t(group)).at(size_t(position));
}
