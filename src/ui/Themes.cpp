#include "ui/Themes.h"

#include <QApplication>
#include <QPalette>

#include <array>

namespace {

const std::array<Theme, themes::kCount>& table() {
  static const std::array<Theme, themes::kCount> themesTable{{
      {"Default", QColor(0xEE, 0xF1, 0xFA), QColor(0xDC, 0xE3, 0xF5), QColor(0x3D, 0x6C, 0xC8), QColor(0xE2, 0xE6, 0xF6)},
      {"Gray", QColor(0xEF, 0xEF, 0xEF), QColor(0xDD, 0xDD, 0xDD), QColor(0x70, 0x70, 0x70), QColor(0xEC, 0xEC, 0xEC)},
      {"Orange", QColor(0xFB, 0xF5, 0xE6), QColor(0xF6, 0xE1, 0xB8), QColor(0xE0, 0x82, 0x1E), QColor(0xF8, 0xF2, 0xE0)},
      {"Purple", QColor(0xF8, 0xEE, 0xF5), QColor(0xEB, 0xD2, 0xE4), QColor(0x8E, 0x3F, 0x82), QColor(0xF6, 0xE6, 0xF1)},
      {"Red", QColor(0xFA, 0xEC, 0xEC), QColor(0xF0, 0xCC, 0xCC), QColor(0xC0, 0x39, 0x39), QColor(0xF7, 0xE1, 0xE1)},
      {"Green", QColor(0xEC, 0xF9, 0xEB), QColor(0xCC, 0xEE, 0xCA), QColor(0x3A, 0x9A, 0x36), QColor(0xE2, 0xF7, 0xE1)},
      {"Light blue", QColor(0xEC, 0xF6, 0xFA), QColor(0xCB, 0xE6, 0xF2), QColor(0x2F, 0x8F, 0xC0), QColor(0xE1, 0xF0, 0xF7)},
  }};
  return themesTable;
}

int currentIndex = 0;  // UI thread only

QPalette paletteFor(const Theme& theme) {
  QPalette palette;
  palette.setColor(QPalette::Window, theme.window);
  palette.setColor(QPalette::Button, theme.button);
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::AlternateBase, theme.alternateRow);
  palette.setColor(QPalette::Highlight, theme.highlight);
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::WindowText, Qt::black);
  palette.setColor(QPalette::Text, Qt::black);
  palette.setColor(QPalette::ButtonText, Qt::black);
  palette.setColor(QPalette::ToolTipBase, theme.window);
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  return palette;
}

}  // namespace

namespace themes {

const Theme& at(int index) { return table().at(size_t(index)); }

bool apply(int index) {
  if (index < 0 || index >= kCount) return false;
  currentIndex = index;
  QApplication::setPalette(paletteFor(at(index)));
  return true;
}

int current() { return currentIndex; }

}  // namespace themes
