#pragma once

#include <QApplication>

#include <exception>
#include <functional>

#include "ui/ApplicationTitle.h"

// The application object. Exceptions that escape an event handler arrive at the
// installed exception handler instead of ending the program.
class OxbelApplication : public QApplication {
 public:
  using ExceptionHandler = std::function<void(std::exception_ptr)>;

  OxbelApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;
  void setExceptionHandler(ExceptionHandler handler) { handler_ = std::move(handler); }

 private:
  ExceptionHandler handler_;  // UI thread only
};

// Appends "." to a non-empty message whose last character sorts after ".".
QString MessageWithPeriod(QString message);

// Reports an unhandled exception: an engine failure with an exclamation icon,
// anything else with an error icon, both captioned with the application title.
void ShowApplicationException(std::exception_ptr error, QWidget* parent);
