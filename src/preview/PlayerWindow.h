#pragma once

#include <QLabel>
#include <QWidget>
#include <memory>
#include <string>

#include "player/MediaPlayer.h"
#include "preview/VideoWidget.h"
#include "ui/QtDispatcher.h"

// A plain window that plays one source: the picture above, the position and
// the duration below. Space pauses and resumes, Left and Right seek 5 s,
// Home goes back to the start. For trying the player on its own (oxbel-play) and for
// the screenshots; the program's windows embed the video widget themselves.
class TPlayerWindow : public QWidget {
 public:
  explicit TPlayerWindow(TAudioDriver audioDriver = TAudioDriver::adDefault);
  ~TPlayerWindow() override;

  // False with the player's reason in LastErrorMessage().
  bool Play(const std::string& source);
  std::string LastErrorMessage() const { return player_.LastErrorMessage(); }
  TMediaPlayer& Player() { return player_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QtDispatcher dispatcher_;
  TVideoWidget* video_;
  QLabel* time_;
  std::int64_t duration_ = -1;
  TMediaPlayer player_{&dispatcher_};
};
