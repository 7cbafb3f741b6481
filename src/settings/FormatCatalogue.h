#pragma once

#include <QString>
#include <QStringList>

#include <array>

#include "frontend/FormatList.h"

class IniFile;

// The Qt face of the format table and list for the windows.
namespace format_catalogue {

// "formatInfo" + decimal code: the format's section in both INI files.
QString SectionName(int code);

// Catalogue "FileExt" of the code's section, default "mp4".
QString FileExtension(const IniFile& catalogue, int code);

// A catalogue item list split at every comma, pieces kept as they are (a
// trailing comma gives a last, empty item); "null" or empty gives no items.
QStringList SplitItemList(const QString& list);

// Items of the hidden legacy format combo, in order.
QStringList OutputFormatComboItems();

}  // namespace format_catalogue

// Format display names by group and position; an empty text is an empty slot.
class FormatNameTable {
 public:
  void clear();
  // Clears the table and fills it with the compiled list.
  void fill();
  const QString& name(int group, int position) const;

 private:
  std::array<std::array<QString, format_catalogue::kTableSize>, format_catalogue::kTableSize> names_;
};
