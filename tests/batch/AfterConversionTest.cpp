#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include "batch/BatchNotification.h"
#include "ui/OpenOutputFolder.h"
#include "batch/PowerOff.h"
#include "frontend/IniFile.h"
#include "support/FakePowerControl.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "support/UrlRecorder.h"

namespace {

TEST(OpenOutputFolder, OpensTheStoredFolderUnlessItIsTooShort) {
  TempHome home;
  UrlRecorder opened("file");
  IniFile settings(home.settingsPath().toStdString());
  EXPECT_TRUE(OpenOutputFolder(settings));
  settings.writeString("settings", "OutPutDir", (home.path() + "/out put").toStdString());
  EXPECT_TRUE(OpenOutputFolder(settings));
  settings.writeString("settings", "OutPutDir", "/x");
  EXPECT_FALSE(OpenOutputFolder(settings));
  EXPECT_EQ(opened.urls, (QList<QUrl>{QUrl::fromLocalFile(home.path() + "/clipforge"),
                                      QUrl::fromLocalFile(home.path() + "/out put")}));
}

TEST(ShutDownComputer, AsksThePowerControlAndReportsARefusal) {
  ScriptedPrompts prompts;
  FakePowerControl power;
  ShutDownComputer(nullptr);
  EXPECT_EQ(power.calls, 1);
  EXPECT_TRUE(prompts.asked.isEmpty());

  power.answer = "Access denied";
  ShutDownComputer(nullptr);
  EXPECT_EQ(power.calls, 2);
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Warning");
  EXPECT_TRUE(prompts.asked[0].text.endsWith("Access denied"));
}

// A notification service on a private bus: records each call and answers it.
class FakeNotifications : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    calls.append(message);
    connection.send(message.createReply(QVariant::fromValue(1u)));
    return true;
  }
  QList<QDBusMessage> calls;
};

// A session bus of the test's own, so the desktop's is never touched.
class PrivateBus : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    ASSERT_TRUE(daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    service = QDBusConnection::connectToBus(address, "notification-service");
    client = QDBusConnection::connectToBus(address, "notification-client");
    ASSERT_TRUE(service.isConnected() && client.isConnected());
  }
  void TearDown() override {
    QDBusConnection::disconnectFromBus("notification-service");
    QDBusConnection::disconnectFromBus("notification-client");
    daemon.kill();
    daemon.waitForFinished();
  }

  QProcess daemon;
  QDBusConnection service{QString()};
  QDBusConnection client{QString()};
};

TEST_F(PrivateBus, BatchEndNotificationCountsConvertedAndFailedFiles) {
  FakeNotifications notifications;
  ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
  ASSERT_TRUE(service.registerVirtualObject("/org/freedesktop/Notifications", &notifications));

  NotifyBatchEnd(2, 1, client);
  NotifyBatchEnd(1, 0, client);
  QElapsedTimer clock;
  clock.start();
  while (notifications.calls.size() < 2 && clock.elapsed() < 5000) QTest::qWait(10);
  ASSERT_EQ(notifications.calls.size(), 2);
  const QDBusMessage& call = notifications.calls[0];
  EXPECT_EQ(call.interface(), "org.freedesktop.Notifications");
  EXPECT_EQ(call.member(), "Notify");
  ASSERT_EQ(call.arguments().size(), 8);
  EXPECT_EQ(call.arguments()[3].toString(), "Conversion finished");
  EXPECT_EQ(call.arguments()[4].toString(), "2 files converted, 1 failed.");
  EXPECT_EQ(notifications.calls[1].arguments()[4].toString(), "1 file converted.");
}

}  // namespace
