#include "jobs/JobList.h"

#include <QTreeWidget>

namespace {

// A row of the list owning its job record.
class JobItem : public QTreeWidgetItem {
 public:
  explicit JobItem(std::unique_ptr<TlvFilesRecord> record) : record_(std::move(record)) {}
  TlvFilesRecord& record() { return *record_; }

 private:
  std::unique_ptr<TlvFilesRecord> record_;
};

struct Column {
  const char* caption;
  int width;
};

constexpr Column kFileColumns[] = {
    {"Source", 140}, {"Length", 65}, {"Trimmed Length", 90}, {"Destination File", 120}, {"Progress", 60}};
// Wide enough for "   720 x 576" and the header texts.
constexpr Column kDvdColumns[] = {{"Source", 120},     {"Duration", 70},     {"Trim Length", 80},
                                  {"Frame Size", 90},  {"Video Format", 85}, {"Progress", 60}};

constexpr int kTrimColumn = 2;  // "Trimmed Length" or "Trim Length"

}  // namespace

TJobList::TJobList(QTreeWidget* view) : view_(view) {}

int TJobList::Count() const { return view_->topLevelItemCount(); }

QTreeWidgetItem* TJobList::Item(int row) const { return view_->topLevelItem(row); }

TlvFilesRecord& TJobList::Record(int row) const { return static_cast<JobItem*>(Item(row))->record(); }

QString TJobList::Caption(int row) const { return Item(row)->text(0); }

bool TJobList::ContainsCaption(const QString& caption) const {
  for (int row = 0; row < Count(); ++row)
    if (Caption(row) == caption) return true;
  return false;
}

void TJobList::BuildColumns(Layout layout) {
  QStringList captions;
  QList<int> widths;
  const auto add = [&](const auto& columns) {
    for (const Column& column : columns) {
      captions << QString::fromLatin1(column.caption);
      widths << column.width;
    }
  };
  if (layout == Layout::Files) add(kFileColumns);
  else add(kDvdColumns);
  view_->setColumnCount(int(captions.size()));
  view_->setHeaderLabels(captions);
  for (int i = 0; i < captions.size(); ++i) view_->setColumnWidth(i, widths[i]);
}

int TJobList::AddRow(Layout layout, const QString& caption, const QStringList& columns,
                     std::unique_ptr<TlvFilesRecord> record) {
  if (Count() == 0) BuildColumns(layout);
  auto* item = new JobItem(std::move(record));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsDragEnabled);
  item->setCheckState(0, Qt::Checked);
  item->setText(0, caption);
  item->setToolTip(0, caption);
  for (int i = 0; i < columns.size(); ++i) item->setText(i + 1, columns[i]);
  view_->addTopLevelItem(item);
  return Count() - 1;
}

bool TJobList::RemoveSelected() {
  const int row = SelectedRow();
  if (row < 0) return false;
  delete view_->takeTopLevelItem(row);
  if (Count() > 0) Select(std::min(row, Count() - 1));
  view_->viewport()->update();
  return true;
}

void TJobList::Clear() { view_->clear(); }

bool TJobList::IsChecked(int row) const { return Item(row)->checkState(0) == Qt::Checked; }

void TJobList::SetChecked(int row, bool checked) { Item(row)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked); }

int TJobList::CheckedCount() const {
  int count = 0;
  for (int row = 0; row < Count(); ++row) count += IsChecked(row) ? 1 : 0;
  return count;
}

void TJobList::CheckAll(bool checked) {
  for (int row = 0; row < Count(); ++row) SetChecked(row, checked);
}

void TJobList::ReverseCheck() {
  for (int row = 0; row < Count(); ++row) SetChecked(row, !IsChecked(row));
}

int TJobList::SelectedRow() const {
  const auto selected = view_->selectedItems();
  return selected.isEmpty() ? -1 : view_->indexOfTopLevelItem(selected.front());
}

void TJobList::Select(int row) {
  QTreeWidgetItem* item = Item(row);
  if (!item) return;
  view_->setCurrentItem(item);
  item->setSelected(true);
  view_->setFocus();
}

void TJobList::SetRowNote(int row, const QString& note) {
  QTreeWidgetItem* item = Item(row);
  const int last = view_->columnCount() - 1;
  item->setToolTip(0, note.isEmpty() ? item->text(0) : note);
  for (int column = 1; column < last; ++column) item->setToolTip(column, note);
}

QString TJobList::RowNote(int row) const { return Item(row)->toolTip(1); }

void TJobList::SetProgressText(int row, const QString& text, const QString& toolTip) {
  QTreeWidgetItem* item = Item(row);
  const int last = view_->columnCount() - 1;
  item->setText(last, text);
  item->setToolTip(last, toolTip);
}

QString TJobList::ProgressText(int row) const { return Item(row)->text(view_->columnCount() - 1); }

void TJobList::SetTrimText(int row, const QString& text) { Item(row)->setText(kTrimColumn, text); }

QString TJobList::TrimText(int row) const { return Item(row)->text(kTrimColumn); }
