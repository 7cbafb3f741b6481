#pragma once

#include <QDBusConnection>
#include <QString>

// "2 files converted, 1 failed." and the like.
QString BatchEndText(int converted, int failed);

// Shows BatchEndText as a desktop notification (freedesktop Notifications on
// bus). Sent without waiting for an answer: without a bus or a notification
// service nothing happens. UI thread only.
void NotifyBatchEnd(int converted, int failed, const QDBusConnection& bus = QDBusConnection::sessionBus());
