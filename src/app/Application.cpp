#include "app/Application.h"

#include <QStyleFactory>

#include <cstdio>

#include "media/EngineException.h"
#include "ui/Prompts.h"

OxbelApplication::OxbelApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // One look on every desktop; the colour themes are palettes over it.
  setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

bool OxbelApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    if (handler_) {
      handler_(std::current_exception());
    } else {
      std::fprintf(stderr, "oxbel: unhandled exception in an event handler\n");
    }
    return false;
  }
}

QString MessageWithPeriod(QString message) {
  if (!message.isEmpty() && message.back() > QChar('.')) message += '.';
  return message;
}

void ShowApplicationException(std::exception_ptr error, QWidget* parent) {
  PromptMessage message;
  message.caption = applicationTitle();
  message.icon = PromptIcon::Error;
  try {
    std::rethrow_exception(error);
  } catch (const EngineException& e) {
    message.text = MessageWithPeriod(QString::fromUtf8(e.what()));
    message.icon = PromptIcon::Warning;
  } catch (const std::exception& e) {
    message.text = MessageWithPeriod(QString::fromUtf8(e.what()));
  } catch (...) {
    message.text = QStringLiteral("Unknown error.");
  }
  prompts().ask(parent, message);
}
