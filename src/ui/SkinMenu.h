#pragma once

#include <QObject>

#include <array>

#include "ui/WindowContext.h"

class QAction;
class QMenu;

// Tools › Skin: the themes, the one in use checked; choosing another applies
// it to the whole program, redrawing the window, and stores it. UI thread only.
class TSkinMenu : public QObject {
  Q_OBJECT

 public:
  TSkinMenu(QMenu* menu, const std::array<QAction*, 7>& items, WindowContext context, QObject* parent);

 private:
  void SkinMenuShow();
  void SkinItemClick(int index);

  std::array<QAction*, 7> items_;
  WindowContext context_;
  int checkedSkin_ = -1;  // the item shown checked
};
