// DVD sources: the drives of the "Add DVD" menu, DVD folders and images, their
// titles as jobs, the choice of audio and subtitle stream, and the engine task
// of a DVD job.
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

#include <utility>

#include "app/MainWindow.h"
#include "app/TaskHelpers.h"
#include "disc/DvdDrives.h"
#include "dvd/DvdPlugin.h"
#include "dvd/OpenDvdString.h"
#include "engine/face/EngineRecords.h"
#include "frontend/DeinterlaceChoice.h"
#include "frontend/DvdTaskBuilder.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatHMS.h"
#include "frontend/SettingsKeys.h"
#include "jobs/FileJobAdding.h"
#include "jobs/JobList.h"
#include "settings/ParameterPanel.h"
#include "ui/AppPaths.h"
#include "ui/Prompts.h"

namespace keys = settings_keys;

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

}  // namespace

void TfrmMain::ConnectDvd() {
  connect(ui_.BtnAddDVD, &QPushButton::clicked, this, &TfrmMain::BtnAddDVDClick);
  connect(menus_.actAddDvdFolder, &QAction::triggered, this, &TfrmMain::AddDvdFolderClick);
  connect(ui_.cmbAudioLanguage, &QComboBox::currentIndexChanged, this, &TfrmMain::cmbAudioLanguageChange);
  connect(ui_.cmbSubtitle, &QComboBox::currentIndexChanged, this, &TfrmMain::cmbSubtitleChange);
  for (QPushButton* button : {ui_.btnDVDStart, ui_.btnStartBelow})
    connect(button, &QPushButton::clicked, this, &TfrmMain::btnDVDStartClick);
}

// One item per optical drive, "/dev/sr0:LABEL"; built once. Without drives
// the submenu is shown disabled rather than opening empty.
void TfrmMain::BuildDriveMenu() {
  const QList<DvdDriveItem> drives = dvdDrives().Drives();
  for (const DvdDriveItem& drive : drives) {
    QAction* item = menus_.mnuAddDvdDriver->addAction(drive.node + ":" + drive.label);
    item->setData(drive.node);
    connect(item, &QAction::triggered, this, [this, node = drive.node] { OpenDvd(node, true); });
  }
  menus_.mnuAddDvdDriver->menuAction()->setEnabled(!drives.isEmpty());
}

void TfrmMain::BtnAddDVDClick() {
  menus_.pmAddDVD->popup(ui_.BtnAddDVD->mapToGlobal(QPoint(0, ui_.BtnAddDVD->height())));
}

void TfrmMain::AddDvdFolderClick() {
  const QString path = prompts().chooseDvd(this);
  if (!path.isEmpty()) OpenDvd(path, false);
}

// Replaces the jobs by the titles of the DVD at path (a drive's node, a folder
// or an image).
void TfrmMain::OpenDvd(const QString& path, bool drive) {
  const bool playAfterwards = std::exchange(playAfterAdd_, false);
  btnClearClick();
  if (!bindDvdPlugin()) return;  // the plug-in keeps the reason
  DvdDrivePath = path;
  if (!CheckDvdSource(path, drive)) return;
  const int count = DVDEnumTitle(path.toStdString());
  if (count < 1) {
    prompts().ask(this, {QStringLiteral("Message"), QStringLiteral("No DVD title(s) found. Maybe not a valid DVD."),
                         PromptButtons::Ok, PromptIcon::Information});
    return;
  }
  AddDvdTitles(count);
  if (playAfterwards && jobs_->Count() > 0) imgbtnPlayClick();
}

// Whether there is a disc to read: a drive with a disc the plug-in can read,
// or an existing folder or image.
bool TfrmMain::CheckDvdSource(const QString& path, bool drive) {
  if (drive ? !dvdDrives().HasDisc(path) : !QFileInfo::exists(path)) {
    warn(this, QStringLiteral("Can't find a DVD Disk!"));
    return false;
  }
  if (drive && dvdDrives().NeedsDescrambler(path)) {
    warn(this, QStringLiteral("This DVD is encrypted. Install libdvdcss to read it."));
    return false;
  }
  return true;
}

void TfrmMain::AddDvdTitles(int count) {
  for (int i = 0; i < count; ++i) {
    DvdTitleInfo title;
    if (!DVDGetTitle(i, title)) {
      warn(this, invalidTitle(i));
      continue;
    }
    jobs_->AddRow(TJobList::Layout::Dvd, "DVD Title " + QString::number(i + 1), titleColumns(title), titleJob(i, title));
  }
  if (jobs_->Count() == 0) return;
  SetJobActionsEnabled(true);
  jobs_->Select(0);  // shows the first title's streams and chapters
}

void TfrmMain::cmbAudioLanguageChange(int item) {
  const int row = jobs_->SelectedRow();
  if (fillingStreams_ || row < 0 || item < 0) return;
  TlvFilesRecord& record = jobs_->Record(row);
  if (item >= std::min(record.DvdTitle.AudioCount, kMaxAudio)) return;
  record.AudioStreamId = record.DvdTitle.Audio[item].ID;
  record.AudioTrackItem = item;
}

// "Default", the item after the last subtitle, takes the slot after the last
// listed subtitle (0, no subtitle, unless the plug-in filled it).
void TfrmMain::cmbSubtitleChange(int item) {
  const int row = jobs_->SelectedRow();
  if (fillingStreams_ || row < 0 || item < 0) return;
  TlvFilesRecord& record = jobs_->Record(row);
  const int count = std::min(record.DvdTitle.SubtitleCount, kMaxSubtitles);
  if (count < 1 || item > count) return;
  record.SubtitleStreamId = item < kMaxSubtitles ? record.DvdTitle.Subtitles[item].ID : 0;
  record.SubtitleItem = item;
}

// The DVD start converts every checked job as File › Start does, after the
// frame size was checked.
void TfrmMain::btnDVDStartClick() {
  if (!LoadEngineLibraries() || !bindDvdPlugin()) return;
  panel_->cmbVideoSizeExit();
  imgbtnStopClick();
  btnStartClick();
}

int TfrmMain::AddDvdTask(int row, IniFile& settings, const QString& folder) {
  TlvFilesRecord& record = jobs_->Record(row);
  DvdTitleInfo title;
  if (!DVDGetTitle(record.JobIndex, title)) {
    warn(this, invalidTitle(record.JobIndex));
    return -1;
  }
  const int code = settings.readInteger(keys::kSettings, keys::kFormatCode, 1);
  const IniFile catalogue = FormatCatalogue();
  record.ZoomMode = QString::fromStdString(CurrentZoomMode(settings, code));
  // A trimmed job seeks within the whole title.
  const bool trimmed = record.TrimStart > 0;
  const DvdParam param{record.JobIndex, trimmed ? 0 : record.ChapterFrom, trimmed ? 99 : record.ChapterTo,
                       record.AudioStreamId, record.SubtitleStreamId, 2, deinterlace_choice::DvdField(settings)};
  TInputOptions input;
  input.FileName = BuildOpenDvdString(DvdDrivePath.toStdString(), param);
  TOutputOptions output;
  std::string error;
  try {
    output.FileName = ReserveDestinationOf(folder, jobs_->Caption(row), catalogue, code).toStdString();
    BuildDvdTaskOptions(TaskJobOf(record), FormatParameters(settings, catalogue, code), output, title, input,
                        AskOver(this));
  } catch (const std::exception& e) {
    error = e.what();
  }
  return AddEngineTask(row, input, output, error);
}
