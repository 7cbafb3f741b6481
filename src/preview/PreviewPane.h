#pragma once

#include <QObject>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "preview/PlayerArbiter.h"
#include "ui/WindowContext.h"

class Dispatcher;
class QCheckBox;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QSlider;
class QToolButton;
class QTreeWidget;
class TJobList;
class TMediaPlayer;
class TVideoWidget;
struct TlvFilesRecord;

// The preview pane's controls, created by the window's layout.
struct PreviewControls {
  QFrame* pan1;  // the picture fills it
  QSlider* trcPreview;
  QLabel *lblTime, *lblPTS;
  QToolButton *imgbtnPlay, *imgbtnPAuse, *imgbtnStop, *imgbtnSnap;
  QCheckBox* ckMute;
  QSlider* trcVolume;
  QTreeWidget* lvFiles;      // a double click plays the job
  QPlainTextEdit* mmoLog;    // what the player reports
};

// The preview pane: plays the selected job in pan1 with the play, pause and
// stop buttons, the seek bar, volume and mute, and saves snapshots of the
// picture shown. Owns the pane's player and its video widget. UI thread only.
class TPreviewPane : public QObject {
  Q_OBJECT

 public:
  // What a player opens for a job, its title up to toChapter for a DVD job.
  using SourceOf = std::function<std::string(const TlvFilesRecord& record, int toChapter)>;

  TPreviewPane(const PreviewControls& controls, TJobList& jobs, Dispatcher* dispatcher, SourceOf sourceOf,
               WindowContext context, QObject* parent);
  ~TPreviewPane() override;

  TMediaPlayer& Player() { return *player_; }
  // Keeps this pane's player and the editors' players from playing at once.
  PlayerArbiter& Arbiter() { return arbiter_; }

  void imgbtnPlayClick();
  void imgbtnPAuseClick();
  void imgbtnStopClick();
  void imgbtnSnapClick();

 signals:
  // Play with an empty list: a source is to be chosen, then played.
  void sourceWanted();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Connect();
  void ConnectPlayer();
  void ApplyStoredVolume();
  void SetPreviewButtons(bool play, bool pause, bool stop, bool snap);
  void OpenPreview(int row);
  void ShowPreviewStopped();
  void MediaPlayerFileOpen(std::int64_t duration, int width, int height, int& screenWidth, int& screenHeight);
  void PreviewEnded();

  PreviewControls ui_;
  TJobList& jobs_;
  PlayerArbiter arbiter_;
  SourceOf sourceOf_;
  WindowContext context_;
  std::unique_ptr<TMediaPlayer> player_;
  TVideoWidget* video_ = nullptr;  // the player's picture, filling pan1
  // The pane's marks: paused by the button; stopped, ended or not started.
  bool paused_ = false, stopped_ = true;
  std::int64_t duration_ = 0;  // microseconds of the source playing
};
