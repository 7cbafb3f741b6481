#include "batch/BatchNotification.h"

#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "ui/ApplicationTitle.h"

QString BatchEndText(int converted, int failed) {
  QString text = converted == 1 ? QStringLiteral("1 file converted") : QStringLiteral("%1 files converted").arg(converted);
  if (failed > 0) text += QStringLiteral(", %1 failed").arg(failed);
  return text + '.';
}

void NotifyBatchEnd(int converted, int failed, const QDBusConnection& bus) {
  if (!bus.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  call << applicationTitle() << 0u << QStringLiteral("video-x-generic") << QStringLiteral("Conversion finished")
       << BatchEndText(converted, failed) << QStringList() << QVariantMap() << -1;
  // Sent without a reply: a missing service stays silent and nothing blocks.
  QDBusConnection(bus).send(call);
}
