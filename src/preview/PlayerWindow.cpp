#include "preview/PlayerWindow.h"

#include <QKeyEvent>
#include <QVBoxLayout>

#include "media/MediaUtils.h"

TPlayerWindow::TPlayerWindow(TAudioDriver audioDriver) : video_(new TVideoWidget(this)), time_(new QLabel(this)) {
  setWindowTitle("MediaPlayer");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(video_, 1);
  layout->addWidget(time_);
  video_->setMinimumSize(320, 240);
  setFocusPolicy(Qt::StrongFocus);
  player_.SetAudioDriver(audioDriver);
  player_.OnFileOpen = [this](TCustomPlayer*, std::int64_t duration, int, int, int&, int&) { duration_ = duration; };
  player_.OnPosition = [this](TCustomPlayer*, std::int64_t pts) {
    const std::string total = duration_ >= 0 ? MicrosecondsText(duration_) : "N/A";
    time_->setText(QString::fromStdString(MicrosecondsText(pts) + " / " + total));
  };
  player_.OnState = [this](TCustomPlayer* sender, TPlayState state) {
    // At the end the picture stays: back to the start, paused.
    if (state == psEnd) {
      sender->Seek(kSeekAny, false, 0);
      sender->Pause();
    }
  };
}

TPlayerWindow::~TPlayerWindow() { player_.Stop(true); }

bool TPlayerWindow::Play(const std::string& source) {
  if (!player_.LibrariesLoaded() && !player_.LoadLibraries("")) return false;
  return player_.Open(source, video_);
}

void TPlayerWindow::keyPressEvent(QKeyEvent* event) {
  constexpr double kStepSeconds = 5;
  switch (event->key()) {
    case Qt::Key_Space:
      if (player_.IsPaused())
        player_.Resume();
      else
        player_.Pause();
      break;
    case Qt::Key_Left: player_.SeekBy(0, false, -kStepSeconds); break;
    case Qt::Key_Right: player_.SeekBy(0, false, kStepSeconds); break;
    case Qt::Key_Home: player_.Seek(kSeekBackward, false, 0); break;  // the key frame at the start
    default: QWidget::keyPressEvent(event);
  }
}
