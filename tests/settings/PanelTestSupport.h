#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

// Driving the format picker and the parameter combos with real mouse and key
// events.
namespace panel_test {

inline int RowOf(const QListWidget* list, const QString& text) {
  for (int row = 0; row < list->count(); ++row)
    if (list->item(row)->text() == text) return row;
  return -1;
}

// A left-button press on the row, x pixels from its left edge, and its release.
inline void PressRow(QListWidget* list, const QString& text, int x = 60) {
  const int row = RowOf(list, text);
  if (row < 0) return;
  list->scrollToItem(list->item(row));
  const QPoint at(x, list->visualItemRect(list->item(row)).center().y());
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
  if (list->isVisible()) QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// Selects the typed field's text and types over it; no text empties the field
// with a backspace.
inline void Retype(QComboBox* combo, const QString& text) {
  combo->setFocus();
  combo->lineEdit()->selectAll();
  if (text.isEmpty())
    QTest::keyClick(combo, Qt::Key_Backspace);
  else
    QTest::keyClicks(combo, text);
}

// Picks the item from the closed list with the keyboard, as a user scrolls it.
inline void PickItem(QComboBox* combo, int index) {
  combo->setFocus();
  while (combo->currentIndex() < index) QTest::keyClick(combo, Qt::Key_Down);
  while (combo->currentIndex() > index) QTest::keyClick(combo, Qt::Key_Up);
}

// Opens the combo's list and clicks the item.
inline void ChooseFromList(QComboBox* combo, int index) {
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(index, 0)).center());
}

}  // namespace panel_test
