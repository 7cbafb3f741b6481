#pragma once

#include <QObject>
#include <QStringList>

#include <memory>

#include "ui/WindowContext.h"

class QAction;
class QPushButton;
class QTreeWidget;
class QWidget;
class TJobList;
class TMediaEngine;

// The buttons and menu items that act on the job list.
struct JobListActions {
  QPushButton *btnAdd, *btnRemove, *btnClear, *btnStart;
  QAction *actAdd, *actRemove, *actClear, *actStart, *popRemove, *popClear;
  QAction *actCheckAll, *actUncheckAll, *actReverseCheck, *actCheck, *actUncheck;
};

// The job list: adding files (File › Add and drops), removing, clearing and the
// check marks, and which of its actions can be used. Owns the list's model.
// UI thread only.
class TJobsController : public QObject {
  Q_OBJECT

 public:
  TJobsController(QTreeWidget* list, const JobListActions& actions, TMediaEngine& engine, WindowContext context,
                  QObject* parent);
  ~TJobsController() override;

  TJobList& Jobs() { return *jobs_; }
  // Adds the files as jobs, as File › Add does after its dialog.
  void AddFiles(const QStringList& paths);
  void btnAddClick();
  void btnRemoveClick();
  void btnClearClick();
  // Removing, clearing and starting need jobs in the list.
  void SetJobActionsEnabled(bool enabled);
  // Adding jobs is refused while a batch runs.
  void SetAddingEnabled(bool enabled);
  // An empty list has nothing to remove, clear or start, nor details to show.
  void UpdateEmptyListState();
  bool LoadEngineLibraries();

 signals:
  // The list became empty: what shows the selected job's details is cleared.
  void emptied();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Connect();
  void CheckSelected(bool checked);

  QTreeWidget* list_;
  // Compared, never called, in the event filter: it also sees the events of
  // the list's destruction.
  QWidget* viewport_;
  JobListActions actions_;
  TMediaEngine& engine_;
  WindowContext context_;
  std::unique_ptr<TJobList> jobs_;
};
