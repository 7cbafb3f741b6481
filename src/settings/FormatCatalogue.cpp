#include "settings/FormatCatalogue.h"

#include "frontend/IniFile.h"

namespace format_catalogue {

QString SectionName(int code) { return QString::fromStdString(FormatSection(code)); }

QString FileExtension(const IniFile& catalogue, int code) {
  return QString::fromStdString(FormatFileExt(catalogue, code));
}

QStringList SplitItemList(const QString& list) {
  QStringList items;
  for (const auto& item : SplitItems(list.toStdString())) items.append(QString::fromStdString(item));
  return items;
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
  for (const auto& format : format_catalogue::AllFormats())
    names_[size_t(format.code / 100)][size_t(format.code % 100)] = QString::fromUtf8(format.name);
}

const QString& FormatNameTable::name(int group, int position) const {
  return names_.at(size_t(group)).at(size_t(position));
}
