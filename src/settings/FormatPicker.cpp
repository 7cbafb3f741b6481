#include "settings/FormatPicker.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolButton>

#include <utility>

#include "frontend/IniFile.h"
#include "frontend/SettingsKeys.h"
#include "settings/FormatPickerDelegate.h"

namespace {

constexpr int kToggleZone = 20;  // a press this close to a group row's left edge toggles it

void SetPickerBackground(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, kPickerBackground);
  widget->setPalette(palette);
}

}  // namespace

TFormatPicker::TFormatPicker(QLineEdit* edt1, QToolButton* imgbtn1, QListWidget* lst1, TPickerOpening opening,
                             QObject* parent)
    : QObject(parent), edt1_(edt1), imgbtn1_(imgbtn1), lst1_(lst1), opening_(opening) {
  lst1_->setItemDelegate(new TFormatRowDelegate(lst1_));
  lst1_->setUniformItemSizes(true);
  lst1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  lst1_->setMouseTracking(true);
  lst1_->viewport()->setMouseTracking(true);
  edt1_->setCursor(Qt::ArrowCursor);  // the field is chosen, never typed into
  connect(imgbtn1_, &QToolButton::clicked, this, [this] { Open(true, false, true); });
  // One application-wide filter sees the field's and the list's mouse events
  // as well as every press elsewhere. It goes with the list: the window's
  // other children still send events while they are destroyed after it.
  qApp->installEventFilter(this);
  connect(lst1_, &QObject::destroyed, this, [this] { qApp->removeEventFilter(this); });
}

const TItemInfo& TFormatPicker::Info(const QListWidgetItem* row) { return static_cast<const TFormatRow*>(row)->Info; }

void TFormatPicker::Build(const IniFile& settings, const QString& fieldText) {
  names_.fill();
  lst1_->hide();
  lst1_->clear();
  const int groups = int(format_catalogue::groups().size());
  for (int group = 0; group < groups; ++group) {
    const bool collapsed = settings.readBool(settings_keys::kLstFormat, std::to_string(group), true);
    lst1_->addItem(new TFormatRow(QString::fromUtf8(format_catalogue::groups()[size_t(group)].caption),
                                  TItemInfo{0, 1, collapsed, group}));
    if (!collapsed) AddFormatRows(group, lst1_->count());
  }
  const int rows = lst1_->count();
  lst1_->resize(lst1_->width(), rows * kRowHeight < 363 ? (rows + 1) * kRowHeight : 362);
  edt1_->setText(fieldText);
  SelectRow(edt1_->text());
  for (QWidget* widget : std::initializer_list<QWidget*>{lst1_, edt1_}) SetPickerBackground(widget);
}

void TFormatPicker::AddFormatRows(int group, int at) {
  for (int position = 0; position < format_catalogue::kTableSize; ++position) {
    const QString& name = names_.name(group, position);
    if (name.isEmpty()) continue;
    lst1_->insertItem(at++, new TFormatRow(name, TItemInfo{1, 0, false, group * 100 + position}));
  }
}

void TFormatPicker::SaveExpandState(IniFile& settings) const {
  for (int row = 0; row < lst1_->count(); ++row) {
    const TItemInfo& info = Info(lst1_->item(row));
    if (info.IsGroup) settings.writeBool(settings_keys::kLstFormat, std::to_string(info.Code), info.Collapsed);
  }
}

void TFormatPicker::Toggle(int row) {
  auto* item = static_cast<TFormatRow*>(lst1_->item(row));
  if (!item || !item->Info.IsGroup) return;
  if (item->Info.Collapsed) {
    AddFormatRows(item->Info.Code, row + 1);
  } else {
    while (row + 1 < lst1_->count() && Info(lst1_->item(row + 1)).IsItem) delete lst1_->takeItem(row + 1);
  }
  item->Info.Collapsed = !item->Info.Collapsed;
}

void TFormatPicker::Close() { lst1_->hide(); }

void TFormatPicker::SelectRow(const QString& name) {
  const QString wanted = name.trimmed();
  lst1_->setCurrentRow(-1);
  for (int row = 0; row < lst1_->count(); ++row)
    if (lst1_->item(row)->text() == wanted) {
      lst1_->setCurrentRow(row);
      return;
    }
}

void TFormatPicker::Open(bool place, bool movePointer, bool setField) {
  if (lst1_->isVisible()) {
    Close();
    return;
  }
  const QString name = nameToOpen ? nameToOpen() : edt1_->text();
  if (setField) edt1_->setText(name);
  lst1_->show();
  lst1_->raise();
  lst1_->setFocus();
  SelectRow(name);  // after the focus, which would make the first row current
  if (place) Place();
  if (movePointer && lst1_->currentItem())
    QCursor::setPos(lst1_->viewport()->mapToGlobal(lst1_->visualItemRect(lst1_->currentItem()).center()));
}

// As wide as the field and its button, opening above or below the field.
void TFormatPicker::Place() {
  const int rows = lst1_->count();
  const int height = opening_.upward ? (rows * kRowHeight > opening_.maxHeight ? opening_.maxHeight : rows * kRowHeight + kRowHeight)
                                     : std::min(rows * kRowHeight + kRowHeight, opening_.maxHeight);
  QWidget* host = lst1_->parentWidget();
  const QPoint fieldTop = edt1_->mapTo(host, QPoint(0, 0));
  const int right = imgbtn1_->mapTo(host, QPoint(imgbtn1_->width(), 0)).x();
  const int top = opening_.upward ? std::max(0, fieldTop.y() - height) : fieldTop.y() + edt1_->height() - 1;
  lst1_->setGeometry(fieldTop.x(), top, right - fieldTop.x(), height);
}

bool TFormatPicker::IsPickerWidget(const QWidget* widget) const {
  return widget == edt1_ || widget == imgbtn1_ || widget == lst1_ || lst1_->isAncestorOf(widget);
}

bool TFormatPicker::eventFilter(QObject* watched, QEvent* event) {
  const auto type = event->type();
  if (watched == edt1_ && (type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick))
    FieldMouseEvent(static_cast<QMouseEvent*>(event));
  else if (watched == lst1_->viewport())
    return ListMouseEvent(event);
  else if (type == QEvent::ApplicationDeactivate)
    Close();
  else if (type == QEvent::MouseButtonPress && lst1_->isVisible() && watched->isWidgetType() &&
           static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !IsPickerWidget(static_cast<QWidget*>(watched)))
    Close();
  return false;
}

// A click opens or closes the list; a double-click does as the button but
// keeps the list's size and place. The release ending a double-click is no click.
void TFormatPicker::FieldMouseEvent(const QMouseEvent* mouse) {
  if (mouse->button() != Qt::LeftButton) return;
  if (mouse->type() == QEvent::MouseButtonDblClick) {
    afterDoubleClick_ = true;
    Open(false, false, true);
  } else if (std::exchange(afterDoubleClick_, false)) {
    return;
  } else if (edt1_->rect().contains(mouse->position().toPoint())) {
    Open(true, opening_.pointerToRow, false);
  }
}

// Hover selects; a press chooses a format or, near the left edge, toggles a
// group; a double-click toggles a group; a click resizes the list.
bool TFormatPicker::ListMouseEvent(QEvent* event) {
  const auto type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseButtonRelease)
    return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint at = mouse->position().toPoint();
  QListWidgetItem* item = lst1_->itemAt(at);
  if (type == QEvent::MouseMove) {
    if (item) lst1_->setCurrentItem(item);
    return false;
  }
  if (mouse->button() != Qt::LeftButton) return true;
  if (type == QEvent::MouseButtonRelease) {
    Place();
    return true;
  }
  if (!item) return true;
  lst1_->setCurrentItem(item);
  const TItemInfo info = Info(item);
  if (info.IsItem && type == QEvent::MouseButtonPress) {
    Close();
    emit formatChosen(item->text(), info.Code);
  } else if (info.IsGroup && (type == QEvent::MouseButtonDblClick || at.x() - lst1_->visualItemRect(item).left() < kToggleZone)) {
    Toggle(lst1_->row(item));
  }
  return true;
}
