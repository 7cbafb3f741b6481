#pragma once

#include <QStyle>

class QDialog;
class QLayout;
class QPushButton;
class QSlider;
class QToolButton;
class TCustomPlayer;

// Pieces the editor dialogs (trim, crop, effects) share: their frame, their
// play and pause buttons and what they do at the end of the source. UI thread only.

// The preview column on the left, the controls on the right, "Ok" and "Cancel" below.
void LayOutEditor(QDialog& dialog, QLayout* preview, QLayout* controls, QPushButton* ok, QPushButton* cancel);
QToolButton* SpeedButton(const char* name, QStyle::StandardPixmap icon, const QString& tip, QWidget* parent);
// Play resumes (and makes the seek bar usable), Pause pauses; each enables the other.
void ConnectSpeedButtons(TCustomPlayer& player, QToolButton* play, QToolButton* pause, QSlider* bar);
// At the end of the source the player rests paused at its start, ready for Play.
void RestAtStart(TCustomPlayer& player, QToolButton* play, QToolButton* pause, QSlider* bar);
