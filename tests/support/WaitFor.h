#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

// Processes events until done() or the time runs out; returns done().
template <typename Done>
bool waitFor(Done done, int milliseconds = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds) {
    QApplication::processEvents();
    QTest::qSleep(2);
  }
  return done();
}
