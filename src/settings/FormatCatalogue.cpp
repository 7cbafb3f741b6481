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
  QStringList items;
  for (const char* item : legacyFormatItems()) items.append(QString::fromUtf8(item));
  return items;
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
