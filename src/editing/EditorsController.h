#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>

#include "ui/WindowContext.h"

class Dispatcher;
class PlayerArbiter;
class QAction;
class TJobList;
class TfrmCrop;
class TfrmFileInfo;
class TfrmTrim;
class TfrmWaterMark;
struct TlvFilesRecord;

// The menu items and popup items that open the editors.
struct EditorActions {
  QAction *actTrim, *popTrim, *actCrop, *popCrop, *actEffects, *popEffects, *actFileInfo, *popVideoInfo;
};

// The per-job editors opened from the Edit menu and the job popup: trim, crop,
// effects and watermark, and the file information. Their players show the
// pictures as the conversion will, deinterlaced as the user chose in Tools ›
// Preference, and take the arbiter's claim so that the preview pane stops
// first. UI thread only.
class TEditorsController : public QObject {
  Q_OBJECT

 public:
  // What an editor's player opens for a job: a DVD job's whole title.
  using SourceOf = std::function<std::string(const TlvFilesRecord& record)>;

  TEditorsController(const EditorActions& actions, TJobList& jobs, Dispatcher* dispatcher, PlayerArbiter& arbiter,
                     SourceOf sourceOf, WindowContext context, QObject* parent);
  ~TEditorsController() override;

  void TrimClick();
  void CropClick();
  void EffectsClick();
  void FileInfoClick();

 private:
  // The selected job's row with the preview stopped; -1 when none is selected.
  int ClaimForSelected();
  template <typename Editor>
  Editor& Fresh(std::unique_ptr<Editor>& editor);

  TJobList& jobs_;
  Dispatcher* dispatcher_;
  PlayerArbiter& arbiter_;
  SourceOf sourceOf_;
  WindowContext context_;
  TfrmTrim* trim_ = nullptr;                  // created on first use, kept for the run
  std::unique_ptr<TfrmCrop> crop_;            // made afresh for each opening
  std::unique_ptr<TfrmWaterMark> waterMark_;  // made afresh for each opening
  TfrmFileInfo* fileInfo_ = nullptr;          // created on first use, kept for the run
};
