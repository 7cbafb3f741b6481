#pragma once

#include <QColor>
#include <QString>

// One of the seven colour themes. Applied application-wide, so every window and
// dialog takes the main window's theme.
struct Theme {
  QString name;          // caption of its item in the Skin menu
  QColor window;         // window and panel background
  QColor button;         // buttons, menu bar
  QColor highlight;      // selection, focus
  QColor alternateRow;   // tint of the odd rows of the job list
};

namespace themes {

constexpr int kCount = 7;

// Themes 0..6: "Default", "Gray", "Orange", "Purple", "Red", "Green", "Light blue".
const Theme& at(int index);
// Switches the application's palette; an index outside 0..6 changes nothing
// and returns false.
bool apply(int index);
// The theme in use (0 until another is applied).
int current();

}  // namespace themes
