#include "disc/DvdController.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <utility>

#include "disc/DvdDrives.h"
#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "frontend/DeinterlaceChoice.h"
#include "frontend/FormatHMS.h"
#include "jobs/JobList.h"
#include "jobs/JobsController.h"
#include "ui/AppPaths.h"
#include "ui/Prompts.h"

namespace {

constexpr int kMaxAudio = 8, kMaxSubtitles = 32;  // the title record's slots

void warn(QWidget* parent, const QString& text) {
  prompts().ask(parent, {QStringLiteral("Warning"), text, PromptButtons::Ok, PromptIcon::Warning});
}

QString invalidTitle(int index) { return "Title #" + QString::number(index + 1) + " is invalid"; }

bool bindDvdPlugin() {
  return DvdPluginLoaded() || LoadDvdPlugin((app_paths::programFolder() + "LibAV").toStdString(), kDvdInitialisation);
}

// The row texts after the caption: duration, trimmed length, frame size, video
// format and the empty progress.
QStringList titleColumns(const DvdTitleInfo& title) {
  const QString length = "   " + QString::fromStdString(FormatHMS(std::int64_t(title.Duration)));
  return {length, length, "   " + QString::number(title.Width) + " x " + QString::number(title.Height),
          "   " + QString::fromStdString(DvdStreamTypeName(title.VideoType)), QString()};
}

// Why a fake title is left unchecked; empty for a real title.
QString fakeTitleNote(const DvdTitleInfo& title) {
  switch (title.FakeReason) {
    case DVDDEC_FAKE_COPY:
      return "Left unchecked: repeats the cells of title " + QString::number(title.FakeDetail);
    case DVDDEC_FAKE_LOOP:
      return "Left unchecked: plays the same part " + QString::number(title.FakeDetail) + " times";
    case DVDDEC_FAKE_LENGTH:
      return "Left unchecked: implausible length " +
             QString::fromStdString(FormatHMS(std::int64_t(title.Duration)));
    default: return {};
  }
}

std::unique_ptr<TlvFilesRecord> titleJob(int index, const DvdTitleInfo& title) {
  auto record = std::make_unique<TlvFilesRecord>();
  record->JobIndex = index;
  record->DurationSeconds = int(title.Duration);
  record->DvdTitle = title;
  record->AudioStreamId = title.AudioCount > 0 ? title.Audio[0].ID : 0;
  record->SubtitleStreamId = title.SubtitleCount > 0 ? title.Subtitles[0].ID : 0;
  record->ChapterFrom = 1;
  record->ChapterTo = title.ChapterCount;
  return record;
}

// "128  English AC3 2ch": the stream id and the name up to its first zero.
QString streamItem(std::int32_t id, const char (&description)[64]) {
  return QString::number(id) + "  " + QString::fromUtf8(description, int(qstrnlen(description, sizeof description)));
}

}  // namespace

TDvdController::TDvdController(const DvdControls& controls, TJobsController& jobs, WindowContext context,
                               QObject* parent)
    : QObject(parent), ui_(controls), jobs_(jobs), context_(std::move(context)) {
  Connect();
}

void TDvdController::Connect() {
  connect(ui_.BtnAddDVD, &QPushButton::clicked, this, &TDvdController::BtnAddDVDClick);
  connect(ui_.actAddDvdFolder, &QAction::triggered, this, &TDvdController::AddDvdFolderClick);
  connect(ui_.cmbAudioLanguage, &QComboBox::currentIndexChanged, this, &TDvdController::cmbAudioLanguageChange);
  connect(ui_.cmbSubtitle, &QComboBox::currentIndexChanged, this, &TDvdController::cmbSubtitleChange);
  for (QPushButton* button : {ui_.btnDVDStart, ui_.btnStartBelow})
    connect(button, &QPushButton::clicked, this, &TDvdController::btnDVDStartClick);
  connect(ui_.btnFromUp, &QToolButton::clicked, this, [this] { ChapterSpin(true, true); });
  connect(ui_.btnFromDown, &QToolButton::clicked, this, [this] { ChapterSpin(true, false); });
  connect(ui_.btnToUp, &QToolButton::clicked, this, [this] { ChapterSpin(false, true); });
  connect(ui_.btnToDown, &QToolButton::clicked, this, [this] { ChapterSpin(false, false); });
  connect(ui_.lvFiles, &QTreeWidget::itemSelectionChanged, this, [this] { lvFilesClick(jobs_.Jobs().SelectedRow()); });
  connect(&jobs_, &TJobsController::emptied, this, &TDvdController::ClearStreams);
}

std::string TDvdController::SourceOf(const TlvFilesRecord& record, int fromChapter, int toChapter, int dvdField) const {
  if (!record.IsDvdJob()) return record.SourcePath.toStdString();
  const DvdParam param{record.JobIndex, fromChapter, toChapter, record.AudioStreamId, record.SubtitleStreamId, 2,
                       dvdField};
  return BuildOpenDvdString(dvdDrivePath_.toStdString(), param);
}

bool TDvdController::TaskSource(const TlvFilesRecord& record, DvdTitleInfo& title, std::string& address) const {
  if (!DVDGetTitle(record.JobIndex, title)) {
    warn(context_.window, invalidTitle(record.JobIndex));
    return false;
  }
  // A trimmed job seeks within the whole title.
  const bool trimmed = record.TrimStart > 0;
  address = SourceOf(record, trimmed ? 0 : record.ChapterFrom, trimmed ? 99 : record.ChapterTo,
                     deinterlace_choice::DvdField(context_.settings()));
  return true;
}

// Without drives the submenu is shown disabled rather than opening empty.
void TDvdController::BuildDriveMenu() {
  const QList<DvdDriveItem> drives = dvdDrives().Drives();
  for (const DvdDriveItem& drive : drives) {
    QAction* item = ui_.mnuAddDvdDriver->addAction(drive.node + ":" + drive.label);
    item->setData(drive.node);
    connect(item, &QAction::triggered, this, [this, node = drive.node] { OpenDvd(node, true); });
  }
  ui_.mnuAddDvdDriver->menuAction()->setEnabled(!drives.isEmpty());
}

void TDvdController::BtnAddDVDClick() {
  ui_.pmAddDVD->popup(ui_.BtnAddDVD->mapToGlobal(QPoint(0, ui_.BtnAddDVD->height())));
}

void TDvdController::AddThenPlay() {
  playAfterAdd_ = true;
  BtnAddDVDClick();
}

void TDvdController::AddDvdFolderClick() {
  const QString path = prompts().chooseDvd(context_.window);
  if (!path.isEmpty()) OpenDvd(path, false);
}

// Replaces the jobs by the titles of the DVD at path (a drive's node, a folder
// or an image).
void TDvdController::OpenDvd(const QString& path, bool drive) {
  const bool playAfterwards = std::exchange(playAfterAdd_, false);
  jobs_.btnClearClick();
  if (!bindDvdPlugin()) return;  // the plug-in keeps the reason
  dvdDrivePath_ = path;
  if (!CheckDvdSource(path, drive)) return;
  const int count = DVDEnumTitle(path.toStdString());
  if (count < 1) {
    prompts().ask(context_.window, {QStringLiteral("Message"),
                                    QStringLiteral("No DVD title(s) found. Maybe not a valid DVD."), PromptButtons::Ok,
                                    PromptIcon::Information});
    return;
  }
  AddDvdTitles(count);
  if (playAfterwards && jobs_.Jobs().Count() > 0) emit playRequested();
}

// Whether there is a disc to read: a drive with a disc the plug-in can read,
// or an existing folder or image.
bool TDvdController::CheckDvdSource(const QString& path, bool drive) {
  if (drive ? !dvdDrives().HasDisc(path) : !QFileInfo::exists(path)) {
    warn(context_.window, QStringLiteral("Can't find a DVD Disk!"));
    return false;
  }
  if (drive && dvdDrives().NeedsDescrambler(path)) {
    warn(context_.window, QStringLiteral("This DVD is encrypted. Install libdvdcss to read it."));
    return false;
  }
  return true;
}

// One row per valid title; fake titles stay listed but unchecked, with the
// reason as their tool tip, so a start converts the film once. The main
// feature's row (else the first) is selected to show its streams and chapters.
void TDvdController::AddDvdTitles(int count) {
  TJobList& jobs = jobs_.Jobs();
  int mainRow = 0;
  for (int i = 0; i < count; ++i) {
    DvdTitleInfo title;
    if (!DVDGetTitle(i, title)) {
      warn(context_.window, invalidTitle(i));
      continue;
    }
    const int row = jobs.AddRow(TJobList::Layout::Dvd, "DVD Title " + QString::number(i + 1), titleColumns(title),
                                titleJob(i, title));
    if (title.MainFeature) mainRow = row;
    const QString note = fakeTitleNote(title);
    if (note.isEmpty()) continue;
    jobs.SetChecked(row, false);
    jobs.SetRowNote(row, note);
  }
  if (jobs.Count() == 0) return;
  jobs_.SetJobActionsEnabled(true);
  jobs.Select(mainRow);
}

// The DVD start converts every checked job as File › Start does.
void TDvdController::btnDVDStartClick() {
  if (!jobs_.LoadEngineLibraries() || !bindDvdPlugin()) return;
  emit startRequested();
}

void TDvdController::lvFilesClick(int row) {
  if (row < 0) return;
  const TlvFilesRecord& record = jobs_.Jobs().Record(row);
  ShowDvdStreams(record.DvdTitle, record.AudioTrackItem, record.SubtitleItem);
  ui_.edtFrom->setText(QString::number(record.ChapterFrom));
  ui_.edtTo->setText(QString::number(record.ChapterTo));
  ui_.grpDvd->setTitle(jobs_.Jobs().Caption(row));
}

void TDvdController::ClearStreams() {
  ui_.cmbAudioLanguage->clear();
  ui_.cmbAudioLanguage->setEnabled(false);
  ui_.cmbSubtitle->clear();
  ui_.cmbSubtitle->setEnabled(false);
}

// The title's audio and subtitle streams in the combos, with the given items
// chosen; the combos' change handlers do not see the refilling.
void TDvdController::ShowDvdStreams(const DvdTitleInfo& title, int audioItem, int subtitleItem) {
  fillingStreams_ = true;
  ui_.cmbAudioLanguage->clear();
  ui_.cmbAudioLanguage->setEnabled(title.AudioCount > 0);
  for (int i = 0; i < std::min(title.AudioCount, kMaxAudio); ++i)
    ui_.cmbAudioLanguage->addItem(streamItem(title.Audio[i].ID, title.Audio[i].Description));
  if (title.AudioCount > 0) ui_.cmbAudioLanguage->setCurrentIndex(std::max(0, audioItem));
  ui_.cmbSubtitle->clear();
  ui_.cmbSubtitle->setEnabled(true);
  for (int i = 0; i < std::min(title.SubtitleCount, kMaxSubtitles); ++i)
    ui_.cmbSubtitle->addItem(streamItem(title.Subtitles[i].ID, title.Subtitles[i].Description));
  ui_.cmbSubtitle->addItem(QStringLiteral("Default"));
  ui_.cmbSubtitle->setCurrentIndex(std::max(0, subtitleItem));
  fillingStreams_ = false;
}

TlvFilesRecord* TDvdController::SelectedRecord() const {
  const int row = jobs_.Jobs().SelectedRow();
  return row < 0 ? nullptr : &jobs_.Jobs().Record(row);
}

void TDvdController::cmbAudioLanguageChange(int item) {
  TlvFilesRecord* record = SelectedRecord();
  if (fillingStreams_ || !record || item < 0) return;
  if (item >= std::min(record->DvdTitle.AudioCount, kMaxAudio)) return;
  record->AudioStreamId = record->DvdTitle.Audio[item].ID;
  record->AudioTrackItem = item;
}

// "Default", the item after the last subtitle, takes the slot after the last
// listed subtitle (0, no subtitle, unless the plug-in filled it).
void TDvdController::cmbSubtitleChange(int item) {
  TlvFilesRecord* record = SelectedRecord();
  if (fillingStreams_ || !record || item < 0) return;
  const int count = std::min(record->DvdTitle.SubtitleCount, kMaxSubtitles);
  if (count < 1 || item > count) return;
  record->SubtitleStreamId = item < kMaxSubtitles ? record->DvdTitle.Subtitles[item].ID : 0;
  record->SubtitleItem = item;
}

// The arrows beside the chapter boxes: one chapter up or down within the
// title, "from" never after "to".
void TDvdController::ChapterSpin(bool from, bool up) {
  TlvFilesRecord* record = SelectedRecord();
  if (!record) return;
  const int chapters = record->DvdTitle.ChapterCount;
  QLineEdit* edit = from ? ui_.edtFrom : ui_.edtTo;
  int value = edit->text().toInt();
  if (value <= 0) return;
  if (up && value < chapters) ++value;
  if (!up && value > 1 && value <= chapters) --value;
  int& own = from ? record->ChapterFrom : record->ChapterTo;
  int& other = from ? record->ChapterTo : record->ChapterFrom;
  QLineEdit* otherEdit = from ? ui_.edtTo : ui_.edtFrom;
  edit->setText(QString::number(value));
  own = value;
  if (from ? otherEdit->text().toInt() < value : value < otherEdit->text().toInt()) {
    otherEdit->setText(QString::number(value));
    other = value;
  }
}
