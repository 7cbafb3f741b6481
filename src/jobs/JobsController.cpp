#include "jobs/JobsController.h"

#include <QAction>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QTreeWidget>

#include "engine/face/MediaEngine.h"
#include "frontend/SettingsKeys.h"
#include "jobs/FileJobAdding.h"
#include "jobs/JobList.h"
#include "jobs/JobListDelegate.h"
#include "jobs/MediaFileFilters.h"
#include "ui/AppPaths.h"
#include "ui/OutputDirectory.h"
#include "ui/Prompts.h"

TJobsController::TJobsController(QTreeWidget* list, const JobListActions& actions, TMediaEngine& engine,
                                 WindowContext context, QObject* parent)
    : QObject(parent), list_(list), viewport_(list->viewport()), actions_(actions), engine_(engine),
      context_(std::move(context)), jobs_(std::make_unique<TJobList>(list)) {
  Connect();
}

TJobsController::~TJobsController() = default;

void TJobsController::Connect() {
  list_->setItemDelegate(new JobListDelegate(list_));
  list_->setAlternatingRowColors(false);
  list_->setUniformRowHeights(true);
  viewport_->setAcceptDrops(true);
  viewport_->installEventFilter(this);
  connect(actions_.actAdd, &QAction::triggered, this, &TJobsController::btnAddClick);
  connect(actions_.btnAdd, &QPushButton::clicked, this, &TJobsController::btnAddClick);
  for (QAction* action : {actions_.actRemove, actions_.popRemove})
    connect(action, &QAction::triggered, this, &TJobsController::btnRemoveClick);
  connect(actions_.btnRemove, &QPushButton::clicked, this, &TJobsController::btnRemoveClick);
  for (QAction* action : {actions_.actClear, actions_.popClear})
    connect(action, &QAction::triggered, this, &TJobsController::btnClearClick);
  connect(actions_.btnClear, &QPushButton::clicked, this, &TJobsController::btnClearClick);
  connect(actions_.actCheckAll, &QAction::triggered, this, [this] { jobs_->CheckAll(true); });
  connect(actions_.actUncheckAll, &QAction::triggered, this, [this] { jobs_->CheckAll(false); });
  connect(actions_.actReverseCheck, &QAction::triggered, this, [this] { jobs_->ReverseCheck(); });
  connect(actions_.actCheck, &QAction::triggered, this, [this] { CheckSelected(true); });
  connect(actions_.actUncheck, &QAction::triggered, this, [this] { CheckSelected(false); });
}

void TJobsController::btnAddClick() {
  if (!LoadEngineLibraries()) return;
  const QStringList files =
      prompts().openFiles(context_.window, OpenFilesRequest{QStringLiteral("Add"), MediaFileFilters()});
  if (!files.isEmpty()) AddFiles(files);
}

void TJobsController::AddFiles(const QStringList& paths) {
  IniFile settings = context_.settings();
  const IniFile catalogue = context_.catalogue();
  const QString folder = EnsureOutputFolder(settings, settings_keys::kOutPutDir, context_.window);
  const FileAddingContext adding{engine_, *jobs_, settings, catalogue, folder};
  if (AddFileJobs(paths, adding) == 0) return;
  SetJobActionsEnabled(true);
}

void TJobsController::btnRemoveClick() {
  jobs_->RemoveSelected();
  if (jobs_->Count() == 0) UpdateEmptyListState();
}

void TJobsController::btnClearClick() {
  if (jobs_->Count() == 0) return;
  engine_.ClearTasks();
  jobs_->Clear();
  UpdateEmptyListState();
}

void TJobsController::UpdateEmptyListState() {
  SetJobActionsEnabled(false);
  emit emptied();
}

void TJobsController::SetJobActionsEnabled(bool enabled) {
  for (QPushButton* button : {actions_.btnStart, actions_.btnClear, actions_.btnRemove}) button->setEnabled(enabled);
  for (QAction* action : {actions_.actStart, actions_.actRemove, actions_.actClear}) action->setEnabled(enabled);
}

void TJobsController::SetAddingEnabled(bool enabled) {
  actions_.btnAdd->setEnabled(enabled);
  actions_.actAdd->setEnabled(enabled);
}

bool TJobsController::LoadEngineLibraries() {
  return engine_.LoadLibraries((app_paths::programFolder() + "LibAV").toStdString());
}

void TJobsController::CheckSelected(bool checked) {
  const int row = jobs_->SelectedRow();
  if (row >= 0) jobs_->SetChecked(row, checked);
}

// Files and folders dropped on the job list are added like File › Add.
bool TJobsController::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (watched != viewport_ || (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
    return QObject::eventFilter(watched, event);
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
