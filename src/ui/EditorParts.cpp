#include "ui/EditorParts.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "player/MediaPlayer.h"
#include "ui/NamedWidget.h"

void LayOutEditor(QDialog& dialog, QLayout* preview, QLayout* controls, QPushButton* ok, QPushButton* cancel) {
  auto* columns = new QHBoxLayout;
  columns->addLayout(preview);
  columns->addSpacing(12);
  columns->addLayout(controls, 1);
  auto* closing = new QHBoxLayout;
  closing->addStretch(1);
  closing->addWidget(ok);
  closing->addWidget(cancel);
  auto* whole = new QVBoxLayout(&dialog);
  whole->addLayout(columns, 1);
  whole->addLayout(closing);
}

QToolButton* SpeedButton(const char* name, QStyle::StandardPixmap icon, const QString& tip, QWidget* parent) {
  auto* button = named<QToolButton>(name, parent);
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolTip(tip);
  return button;
}

void ConnectSpeedButtons(TCustomPlayer& player, QToolButton* play, QToolButton* pause, QSlider* bar) {
  QObject::connect(play, &QToolButton::clicked, play, [&player, play, pause, bar] {
    player.Resume();
    play->setEnabled(false);
    pause->setEnabled(true);
    bar->setEnabled(true);
  });
  QObject::connect(pause, &QToolButton::clicked, pause, [&player, play, pause] {
    player.Pause();
    pause->setEnabled(false);
    play->setEnabled(true);
  });
}

void RestAtStart(TCustomPlayer& player, QToolButton* play, QToolButton* pause, QSlider* bar) {
  {
    const QSignalBlocker quiet(bar);
    bar->setValue(0);
  }
  player.Seek(kSeekAny, false, 0);
  player.Pause();
  play->setEnabled(true);
  pause->setEnabled(false);
  bar->setEnabled(false);
}
