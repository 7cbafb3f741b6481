#include "settings/FormatPickerDelegate.h"

#include <QListWidget>
#include <QPainter>

#include "settings/FormatIcons.h"
#include "settings/FormatPicker.h"

namespace {

bool IsCurrent(const QStyleOptionViewItem& option) {
  return option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
}

// The current row is filled 2 pixels in and framed 1 pixel further out; the
// rectangle left for the content is 3 pixels narrower on each side.
QRect PaintBackground(QPainter* painter, const QStyleOptionViewItem& option, const QColor& background) {
  const QRect rect = option.rect;
  if (IsCurrent(option)) {
    painter->fillRect(rect.adjusted(2, 2, -2, -2), kFocusFill);
    painter->setPen(kFocusFrame);
    painter->drawRect(rect.adjusted(1, 1, -2, -2));
  } else {
    painter->fillRect(rect, background);
  }
  return rect.adjusted(3, 0, -3, 0);
}

}  // namespace

void TFormatRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const QRect rect = PaintBackground(painter, option, kPickerBackground);
  const auto* list = qobject_cast<const QListWidget*>(option.widget);
  const QListWidgetItem* item = list ? list->item(index.row()) : nullptr;
  const QString text = index.data(Qt::DisplayRole).toString();
  QFont font = option.font;
  if (item && TFormatPicker::Info(item).IsGroup) {
    const TItemInfo& info = TFormatPicker::Info(item);
    const int middle = rect.top() + (rect.height() - kIconSize) / 2;
    painter->drawPixmap(rect.left() + 1, middle, ExpandGlyph(!info.Collapsed));
    painter->drawPixmap(rect.left() + 20, middle, GroupIcon(info.Code));
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(Qt::black);  // the backgrounds are fixed light colours
    const QRect textRect(rect.left() + 45, rect.top() + 2, rect.width() - 45, rect.height() - 2);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width()));
  } else {
    painter->setFont(font);
    painter->setPen(kFormatText);
    const QRect textRect(rect.left() + 25, rect.top(), rect.width() - 25, rect.height());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width()));
  }
  painter->restore();
}

QSize TFormatRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width(), TFormatPicker::kRowHeight};
}

void TComboItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  painter->save();
  const QRect rect = PaintBackground(painter, option, Qt::white);
  const QString text = index.data(Qt::DisplayRole).toString();
  painter->setFont(option.font);
  painter->setPen(Qt::black);  // the backgrounds are fixed light colours
  painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    option.fontMetrics.elidedText(text, Qt::ElideRight, rect.width()));
  painter->restore();
}
