#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "jobs/JobRecord.h"

class QTreeWidget;
class QTreeWidgetItem;

// The rows of the job list `lvFiles` and the job record behind each of them.
// Row kinds decide the column layout: the columns are rebuilt in the layout of
// the first row added to an empty list. UI thread only.
class TJobList {
 public:
  enum class Layout { Files, Dvd };

  explicit TJobList(QTreeWidget* view);

  QTreeWidget* view() const { return view_; }
  int Count() const;
  TlvFilesRecord& Record(int row) const;
  QString Caption(int row) const;
  // Whether a row with exactly this caption exists (letter case counts).
  bool ContainsCaption(const QString& caption) const;

  void BuildColumns(Layout layout);
  // Adds a checked row with the caption and the further column texts; the last
  // (progress) column starts empty.
  int AddRow(Layout layout, const QString& caption, const QStringList& columns, std::unique_ptr<TlvFilesRecord> record);
  // Removes the selected row, then selects the row that took its place (or the
  // new last one). False when no row was selected.
  bool RemoveSelected();
  void Clear();

  bool IsChecked(int row) const;
  void SetChecked(int row, bool checked);
  int CheckedCount() const;
  void CheckAll(bool checked);
  void ReverseCheck();

  // -1 when no row is selected.
  int SelectedRow() const;
  // Selects the row and gives the list the focus.
  void Select(int row);

  // A note on the row as the tool tip of every column but the progress one
  // (which keeps its own); an empty note gives the caption its own back.
  void SetRowNote(int row, const QString& note);
  QString RowNote(int row) const;

  // The text of the last column ("Progress"); a tool tip explains a failure.
  void SetProgressText(int row, const QString& text, const QString& toolTip = {});
  QString ProgressText(int row) const;
  // The trimmed length, the second column after the caption.
  void SetTrimText(int row, const QString& text);
  QString TrimText(int row) const;

 private:
  QTreeWidgetItem* Item(int row) const;

  QTreeWidget* view_;
};
