// The job list of the main window: adding files (menu and drops), removing,
// clearing, check marks, and the stream and chapter controls of the selected job.
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "engine/face/MediaEngine.h"
#include "frontend/SettingsKeys.h"
#include "jobs/FileJobAdding.h"
#include "jobs/JobList.h"
#include "jobs/JobListDelegate.h"
#include "jobs/MediaFileFilters.h"
#include "ui/AppPaths.h"
#include "ui/OutputDirectory.h"
#include "ui/Prompts.h"

namespace {

// "128  English AC3 2ch": the stream id and the name up to its first zero.
QString streamItem(std::int32_t id, const char (&description)[64]) {
  return QString::number(id) + "  " + QString::fromUtf8(description, int(qstrnlen(description, sizeof description)));
}

}  // namespace

void TfrmMain::ConnectJobList() {
  ui_.lvFiles->setItemDelegate(new JobListDelegate(ui_.lvFiles));
  ui_.lvFiles->setAlternatingRowColors(false);
  ui_.lvFiles->setUniformRowHeights(true);
  ui_.lvFiles->viewport()->setAcceptDrops(true);
  ui_.lvFiles->viewport()->installEventFilter(this);
  for (QAction* action : {menus_.actAdd}) connect(action, &QAction::triggered, this, &TfrmMain::btnAddClick);
  connect(ui_.btnAdd, &QPushButton::clicked, this, &TfrmMain::btnAddClick);
  for (QAction* action : {menus_.actRemove, menus_.popRemove})
    connect(action, &QAction::triggered, this, &TfrmMain::btnRemoveClick);
  connect(ui_.btnRemove, &QPushButton::clicked, this, &TfrmMain::btnRemoveClick);
  for (QAction* action : {menus_.actClear, menus_.popClear})
    connect(action, &QAction::triggered, this, &TfrmMain::btnClearClick);
  connect(ui_.btnClear, &QPushButton::clicked, this, &TfrmMain::btnClearClick);
  connect(menus_.actCheckAll, &QAction::triggered, this, [this] { jobs_->CheckAll(true); });
  connect(menus_.actUncheckAll, &QAction::triggered, this, [this] { jobs_->CheckAll(false); });
  connect(menus_.actReverseCheck, &QAction::triggered, this, [this] { jobs_->ReverseCheck(); });
  connect(menus_.actCheck, &QAction::triggered, this, [this] { CheckSelected(true); });
  connect(menus_.actUncheck, &QAction::triggered, this, [this] { CheckSelected(false); });
  connect(ui_.lvFiles, &QTreeWidget::itemSelectionChanged, this, &TfrmMain::lvFilesClick);
  connect(ui_.btnFromUp, &QToolButton::clicked, this, [this] { ChapterSpin(true, true); });
  connect(ui_.btnFromDown, &QToolButton::clicked, this, [this] { ChapterSpin(true, false); });
  connect(ui_.btnToUp, &QToolButton::clicked, this, [this] { ChapterSpin(false, true); });
  connect(ui_.btnToDown, &QToolButton::clicked, this, [this] { ChapterSpin(false, false); });
}

void TfrmMain::btnAddClick() {
  if (!LoadEngineLibraries()) return;
  const QStringList files =
      prompts().openFiles(this, OpenFilesRequest{QStringLiteral("Add"), MediaFileFilters()});
  if (!files.isEmpty()) AddFiles(files);
}

void TfrmMain::AddFiles(const QStringList& paths) {
  IniFile settings = Settings();
  const IniFile catalogue = FormatCatalogue();
  const QString folder = EnsureOutputFolder(settings, settings_keys::kOutPutDir, this);
  const FileAddingContext context{*CCAVC, *jobs_, settings, catalogue, folder};
  if (AddFileJobs(paths, context) == 0) return;
  SetJobActionsEnabled(true);
}

void TfrmMain::btnRemoveClick() {
  jobs_->RemoveSelected();
  if (jobs_->Count() == 0) UpdateEmptyListState();
}

void TfrmMain::btnClearClick() {
  if (jobs_->Count() == 0) return;
  CCAVC->ClearTasks();
  jobs_->Clear();
  UpdateEmptyListState();
}

// An empty list has nothing to remove, clear or start.
void TfrmMain::UpdateEmptyListState() {
  SetJobActionsEnabled(false);
  ui_.cmbAudioLanguage->clear();
  ui_.cmbAudioLanguage->setEnabled(false);
  ui_.cmbSubtitle->clear();
  ui_.cmbSubtitle->setEnabled(false);
}

// Removing, clearing and starting need jobs in the list.
void TfrmMain::SetJobActionsEnabled(bool enabled) {
  for (QPushButton* button : {ui_.btnStart, ui_.btnClear, ui_.btnRemove}) button->setEnabled(enabled);
  for (QAction* action : {menus_.actStart, menus_.actRemove, menus_.actClear}) action->setEnabled(enabled);
}

bool TfrmMain::LoadEngineLibraries() {
  return CCAVC->LoadLibraries((app_paths::programFolder() + "LibAV").toStdString());
}

void TfrmMain::CheckSelected(bool checked) {
  const int row = jobs_->SelectedRow();
  if (row >= 0) jobs_->SetChecked(row, checked);
}

void TfrmMain::lvFilesClick() {
  const int row = jobs_->SelectedRow();
  if (row < 0) return;
  const TlvFilesRecord& record = jobs_->Record(row);
  ShowDvdStreams(record.DvdTitle, record.AudioTrackItem, record.SubtitleItem);
  ui_.edtFrom->setText(QString::number(record.ChapterFrom));
  ui_.edtTo->setText(QString::number(record.ChapterTo));
  ui_.grpDvd->setTitle(jobs_->Caption(row));
}

// The title's audio and subtitle streams in the combos, with the given items
// chosen; the combos' change handlers do not see the refilling.
void TfrmMain::ShowDvdStreams(const DvdTitleInfo& title, int audioItem, int subtitleItem) {
  fillingStreams_ = true;
  ui_.cmbAudioLanguage->clear();
  ui_.cmbAudioLanguage->setEnabled(title.AudioCount > 0);
  for (int i = 0; i < std::min(title.AudioCount, 8); ++i)
    ui_.cmbAudioLanguage->addItem(streamItem(title.Audio[i].ID, title.Audio[i].Description));
  if (title.AudioCount > 0) ui_.cmbAudioLanguage->setCurrentIndex(std::max(0, audioItem));
  ui_.cmbSubtitle->clear();
  ui_.cmbSubtitle->setEnabled(true);
  for (int i = 0; i < std::min(title.SubtitleCount, 32); ++i)
    ui_.cmbSubtitle->addItem(streamItem(title.Subtitles[i].ID, title.Subtitles[i].Description));
  ui_.cmbSubtitle->addItem(QStringLiteral("Default"));
  ui_.cmbSubtitle->setCurrentIndex(std::max(0, subtitleItem));
  fillingStreams_ = false;
}

// The arrows beside the chapter boxes: one chapter up or down within the
// title, "from" never after "to".
void TfrmMain::ChapterSpin(bool from, bool up) {
  const int row = jobs_->SelectedRow();
  if (row < 0) return;
  TlvFilesRecord& record = jobs_->Record(row);
  const int chapters = record.DvdTitle.ChapterCount;
  QLineEdit* edit = from ? ui_.edtFrom : ui_.edtTo;
  int value = edit->text().toInt();
  if (value <= 0) return;
  if (up && value < chapters) ++value;
  if (!up && value > 1 && value <= chapters) --value;
  int& own = from ? record.ChapterFrom : record.ChapterTo;
  int& other = from ? record.ChapterTo : record.ChapterFrom;
  QLineEdit* otherEdit = from ? ui_.edtTo : ui_.edtFrom;
  edit->setText(QString::number(value));
  own = value;
  if (from ? otherEdit->text().toInt() < value : value < otherEdit->text().toInt()) {
    otherEdit->setText(QString::number(value));
    other = value;
  }
}

// Files and folders dropped on the job list are added like File › Add.
bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_.trcPreview) return SeekBarEvent(event);
  if (watched != ui_.lvFiles->viewport()) return QMainWindow::eventFilter(watched, event);
  const auto type = event->type();
  if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
    return QMainWindow::eventFilter(watched, event);
  auto* drop = static_cast<QDropEvent*>(event);
  if (!drop->mimeData()->hasUrls()) return false;
  drop->acceptProposedAction();
  if (type != QEvent::Drop) return true;
  QStringList paths;
  for (const QUrl& url : drop->mimeData()->urls())
    if (url.isLocalFile()) paths << url.toLocalFile();
  if (LoadEngineLibraries()) AddFiles(DroppedMediaFiles(paths));
  return true;
}
