#include "jobs/JobListDelegate.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/Themes.h"

namespace {

const QColor kSelectedFocused(0xB9, 0xCC, 0xEC);
const QColor kSelectedUnfocused(0xE5, 0xEC, 0xF8);
const QColor kFrameFocused(0x7A, 0xA0, 0xDA);
const QColor kFrameUnfocused(0x98, 0xB5, 0xE2);
// Room the check box takes before the first column's text.
constexpr int kCheckBoxSpace = 16;
constexpr int kTextMargin = 3;

bool isCheckable(const QModelIndex& index) {
  return index.column() == 0 && (index.flags() & Qt::ItemIsUserCheckable);
}

bool isChecked(const QModelIndex& index) {
  return index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
}

}  // namespace

JobListDelegate::JobListDelegate(QWidget* list) : QStyledItemDelegate(list), list_(list) {}

QRect JobListDelegate::CheckBoxRect(const QRect& cell) {
  return QRect(QPoint(cell.left() + 2, cell.top() + 2), QPoint(cell.left() + 14, cell.bottom() - 2));
}

void JobListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const bool selected = option.state & QStyle::State_Selected;
  const bool focused = list_->hasFocus();
  const int lastColumn = index.model()->columnCount(index.parent()) - 1;
  QRect fill = option.rect;
  if (index.column() == 0) fill.setLeft(fill.left() + 1);
  if (index.column() == lastColumn) fill.setRight(fill.right() - 1);
  const QColor background = selected ? (focused ? kSelectedFocused : kSelectedUnfocused)
                            : index.row() % 2 ? themes::at(themes::current()).alternateRow
                                              : QColor(Qt::white);
  painter->fillRect(fill, background);

  QRect label = option.rect;
  if (isCheckable(index)) {
    PaintCheckBox(painter, option.rect, isChecked(index));
    label.setLeft(label.left() + kCheckBoxSpace);
  }
  label.adjust(kTextMargin, 0, -kTextMargin, 0);
  const QString text = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, label.width());
  const auto alignment = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
  painter->setFont(option.font);
  painter->setPen(Qt::black);
  painter->drawText(label, int((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextSingleLine), text);

  if (selected) PaintSelectionFrame(painter, fill, index, focused);
  painter->restore();
}

void JobListDelegate::PaintCheckBox(QPainter* painter, const QRect& cell, bool checked) const {
  painter->setPen(QPen(Qt::black, 2));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(CheckBoxRect(cell));
  if (!checked) return;
  const QPoint tick[] = {{cell.left() + 4, cell.top() + 6}, {cell.left() + 6, cell.top() + 11},
                         {cell.left() + 11, cell.top() + 5}};
  painter->drawPolyline(tick, 3);
}

void JobListDelegate::PaintSelectionFrame(QPainter* painter, const QRect& cell, const QModelIndex& index,
                                          bool focused) const {
  painter->setPen(QPen(focused ? kFrameFocused : kFrameUnfocused, 1));
  painter->drawLine(cell.topLeft(), cell.topRight());
  painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  if (index.column() == 0) painter->drawLine(cell.topLeft(), cell.bottomLeft());
  if (index.column() == index.model()->columnCount(index.parent()) - 1)
    painter->drawLine(cell.topRight(), cell.bottomRight());
}

bool JobListDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) {
  if (!isCheckable(index)) return QStyledItemDelegate::editorEvent(event, model, option, index);
  bool toggle = false;
  if (event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    toggle = mouse->button() == Qt::LeftButton && CheckBoxRect(option.rect).adjusted(-1, -1, 1, 1).contains(mouse->position().toPoint());
  } else if (event->type() == QEvent::KeyPress) {
    toggle = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
  } else if (event->type() == QEvent::MouseButtonDblClick) {
    // A double-click on the box is two toggles, not a play request.
    const auto* mouse = static_cast<QMouseEvent*>(event);
    return CheckBoxRect(option.rect).adjusted(-1, -1, 1, 1).contains(mouse->position().toPoint());
  }
  if (!toggle) return false;
  return model->setData(index, isChecked(index) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}
