#include "ui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon toQtIcon(PromptIcon icon) {
  switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Error: return QMessageBox::Critical;
    case PromptIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(PromptButtons buttons) {
  switch (buttons) {
    case PromptButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

PromptAnswer fromQtButton(int button) {
  switch (button) {
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    case QMessageBox::Ok: return PromptAnswer::Ok;
    default: return PromptAnswer::Cancel;
  }
}

}  // namespace

PromptAnswer QtPrompts::ask(QWidget* parent, const PromptMessage& message) {
  QMessageBox box(toQtIcon(message.icon), message.caption, message.text,
                  toQtButtons(message.buttons), parent);
  return fromQtButton(box.exec());
}

void QtPrompts::beep() { QApplication::beep(); }
