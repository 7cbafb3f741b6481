#pragma once

#include <QListWidgetItem>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>

#include "settings/FormatCatalogue.h"

class IniFile;
class QLineEdit;
class QListWidget;
class QMouseEvent;
class QToolButton;

// What a row of the format list stands for.
struct TItemInfo {
  std::uint8_t IsItem = 0;
  std::uint8_t IsGroup = 0;
  bool Collapsed = false;  // group rows only
  std::int32_t Code = 0;   // group number, or the format code of a format row
};

// A row of the format list; the list owns it and with it its TItemInfo.
class TFormatRow : public QListWidgetItem {
 public:
  TFormatRow(const QString& text, const TItemInfo& info) : QListWidgetItem(text), Info(info) {}
  TItemInfo Info;
};

// How a picker's list opens below or above its field.
struct TPickerOpening {
  bool upward = true;
  int maxHeight = 386;
  bool pointerToRow = true;  // a click on the field moves the pointer to the chosen row
};

// The grouped format picker: a read-only field, its drop-down button and the
// list of groups and formats, which opens over the window. Used by the main
// window's panel and by the settings dialog, each with its own rows. UI thread
// only.
class TFormatPicker : public QObject {
  Q_OBJECT

 public:
  static constexpr int kRowHeight = 20;

  TFormatPicker(QLineEdit* edt1, QToolButton* imgbtn1, QListWidget* lst1, TPickerOpening opening, QObject* parent);

  // The name whose row opening the list selects; the button also shows it in
  // the field.
  std::function<QString()> nameToOpen;

  // Rebuilds the rows (collapsed states from "lstformat") and shows fieldText.
  void Build(const IniFile& settings, const QString& fieldText);
  // Writes every group's collapsed state to "lstformat".
  void SaveExpandState(IniFile& settings) const;

  void Toggle(int row);
  void Close();
  QListWidget* list() const { return lst1_; }
  const FormatNameTable& Names() const { return names_; }
  static const TItemInfo& Info(const QListWidgetItem* row);

 signals:
  // A format row was pressed; the list has closed.
  void formatChosen(const QString& name, int code);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void AddFormatRows(int group, int at);
  void SelectRow(const QString& name);
  void Open(bool place, bool movePointer, bool setField);
  void Place();
  void FieldMouseEvent(const QMouseEvent* mouse);
  bool ListMouseEvent(QEvent* event);
  bool IsPickerWidget(const QWidget* widget) const;

  QLineEdit* edt1_;
  QToolButton* imgbtn1_;
  QListWidget* lst1_;
  TPickerOpening opening_;
  FormatNameTable names_;
  bool afterDoubleClick_ = false;
};
