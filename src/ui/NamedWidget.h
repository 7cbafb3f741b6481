#pragma once

#include <QString>

#include <utility>

// A new widget with the object name the rest of the program (and the tests)
// find it by.
template <typename T, typename... Args>
T* named(const char* name, Args&&... args) {
  T* widget = new T(std::forward<Args>(args)...);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}
