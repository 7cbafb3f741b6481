#pragma once

#include <QStyledItemDelegate>

// Draws the rows of the job list: white and theme-tinted rows in turn, the
// selection fill and frame (stronger while the list has the focus), a drawn
// check box with its tick in the first column and one line of text per cell,
// cut with an ellipsis. A click on the box toggles the row's check mark.
class JobListDelegate : public QStyledItemDelegate {
 public:
  explicit JobListDelegate(QWidget* list);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The check box of a first-column cell.
  static QRect CheckBoxRect(const QRect& cell);

 protected:
  bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

 private:
  void PaintCheckBox(QPainter* painter, const QRect& cell, bool checked) const;
  void PaintSelectionFrame(QPainter* painter, const QRect& cell, const QModelIndex& index, bool focused) const;

  QWidget* list_;
};
