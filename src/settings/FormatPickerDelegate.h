#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Colours of the picker and the panel's drop-down lists.
inline const QColor kPickerBackground{246, 247, 248};
inline const QColor kFocusFill{185, 204, 236};
inline const QColor kFocusFrame{122, 160, 218};
inline const QColor kFormatText{0, 0, 128};

// Draws the picker's rows: groups in bold with their expand glyph and icon,
// formats in navy, the current row filled and framed. Rows are 20 pixels high.
class TFormatRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Draws the items of a drop-down list combo: the current one as the picker's
// current row, the others on white; one line, centred, cut with an ellipsis.
class TComboItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
