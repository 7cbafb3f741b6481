#include "ui/QtDispatcher.h"

#include <QCoreApplication>
#include <QThread>

bool QtDispatcher::onUiThread() const {
  return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

void QtDispatcher::call(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  std::exception_ptr error;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [&] {
        try {
          fn();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (error) std::rethrow_exception(error);
}

void QtDispatcher::pump() { QCoreApplication::processEvents(); }
