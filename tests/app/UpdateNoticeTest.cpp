// The update notice at the first show, against a local HTTP server: the
// question for a newer version and both answers, no question for the same
// version, broken files, a server that never answers, no server at all, and
// the check switched off.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>

#include "app/FileVersion.h"
#include "app/UpdateNotice.h"
#include "app/XmlValue.h"
#include "batch/ProgressWindow.h"
#include "batch/ProgressWindowLayout.h"
#include "frontend/IniFile.h"
#include "testmedia/MediaWriter.h"
#include "support/LocalHttpServer.h"
#include "support/MainWindowFixture.h"
#include "support/WaitFor.h"
#include "ui/TipsBanner.h"

namespace {

QByteArray package(const QString& version, const char* root = "XMLPackage") {
  return QString("<?xml version=\"1.0\"?><%1><count number=\"2\"/><videoversion number=\"%2\"/>"
                 "<row info=\"Try the new DVD ripper.\"/><row info=\"Convert for every phone.\"/></%1>")
      .arg(root, version)
      .toUtf8();
}

QString localVersion() { return FileVersionText().trimmed(); }

TEST(XmlValue, PathsAttributesAndBrokenFiles) {
  QTemporaryFile file;
  ASSERT_TRUE(file.open());
  file.write("<XMLPackage><videoversion number=\" 3.4 \">text</videoversion><a><b>deep</b></a></XMLPackage>");
  file.close();
  EXPECT_EQ(ReadXmlValue(file.fileName(), "XMLPackage.videoversion", "number"), " 3.4 ");
  EXPECT_EQ(ReadXmlValue(file.fileName(), "XMLPackage.videoversion", "  "), "text") << "blank: the node's text";
  EXPECT_EQ(ReadXmlValue(file.fileName(), "XMLPackage.a.b", ""), "deep");
  EXPECT_EQ(ReadXmlValue(file.fileName(), "XMLPackage.missing", "number"), "");
  EXPECT_EQ(ReadXmlValue(file.fileName(), "xmlpackage.videoversion", "number"), "") << "names match exactly";
  EXPECT_EQ(ReadXmlValue(file.fileName() + ".none", "XMLPackage.videoversion", "number"), "error");
  ASSERT_TRUE(file.open());
  file.resize(0);
  file.write("<XMLPackage><unclosed>");
  file.close();
  EXPECT_EQ(ReadXmlValue(file.fileName(), "XMLPackage.count", "number"), "error");
}

// Stands in for the desktop: the pages the program asked it to open.
class UrlCatcher : public QObject {
  Q_OBJECT

 public slots:
  void openUrl(const QUrl& url) { opened << url; }

 public:
  QList<QUrl> opened;
};

class UpdateNotice : public MainWindowFixture {
 protected:
  void SetUp() override {
    IniFile settings(home.settingsPath().toStdString());
    settings.writeString("settings", "UpdateUrl", server.Address().toStdString());
    QDesktopServices::setUrlHandler("http", &desktop, "openUrl");
    QDesktopServices::setUrlHandler("https", &desktop, "openUrl");
  }
  void TearDown() override {
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
    MainWindowFixture::TearDown();
  }

  // Shows the window and waits until the check has ended.
  void ShowAndCheck(int milliseconds = 5000) {
    Show();
    auto* notice = window.findChild<TUpdateNotice*>();
    ASSERT_TRUE(notice);
    ASSERT_TRUE(waitFor([&] { return notice->Finished(); }, milliseconds));
  }

  LocalHttpServer server;
  UrlCatcher desktop;
};

TEST_F(UpdateNotice, NewerVersionAsksAndNoKeepsTheProgramRunning) {
  server.body = package("9.9");
  prompts.queueAnswer(PromptAnswer::No);
  ShowAndCheck();
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Warning - New Version Available for Download.");
  EXPECT_EQ(prompts.asked[0].text, "Do you want to upgrade to Oxbel DVD to 3GP Converter 9.9 now?");
  EXPECT_EQ(prompts.asked[0].buttons, PromptButtons::YesNo);
  EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Question);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(desktop.opened.isEmpty());
  EXPECT_EQ(window.LatestVersion(), "9.9");
  // The request as the updater sends it, twice: the fresh file and the kept copy.
  ASSERT_EQ(server.requests.size(), 2);
  EXPECT_TRUE(server.requests[0].contains("User-Agent: Mozilla/3.0 (compatible; Oxbel Updater)"));
  EXPECT_TRUE(server.requests[0].contains("Accept: text/html, */*"));
  EXPECT_TRUE(QFile::exists(FreshUpdateFile()));
  EXPECT_TRUE(QFile::exists(CachedUpdateFile()));
  EXPECT_EQ(window.findChild<TUpdateNotice*>()->Tips(),
            QStringList({"Try the new DVD ripper.", "Convert for every phone."}));
}

TEST_F(UpdateNotice, YesOpensTheDownloadPageAndClosesWithoutTheExitQuestion) {
  server.body = package("9.9");
  prompts.queueAnswer(PromptAnswer::Yes);
  Show();
  ASSERT_TRUE(waitFor([&] { return !window.isVisible(); }, 5000));
  ASSERT_EQ(prompts.asked.size(), 1) << "no exit question";
  ASSERT_EQ(desktop.opened.size(), 1);
  EXPECT_FALSE(desktop.opened[0].isEmpty());
}

TEST_F(UpdateNotice, SameVersionAsksNothingAndItsEntriesBecomeTheTips) {
  server.body = package(localVersion());
  ShowAndCheck();
  EXPECT_TRUE(prompts.asked.isEmpty());
  EXPECT_EQ(window.LatestVersion(), localVersion());

  const std::string clip = home.file("clip.mp4");
  test_media::WriteMedia({.muxer = "mp4", .video = test_media::VideoSpec{.encoder = "mpeg4"}, .seconds = 0.5}, clip);
  window.AddFiles({QString::fromStdString(clip)});
  WithinTime(60000, [&] { QTest::mouseClick(window.controls().btnStart, Qt::LeftButton); });
  auto* progress = window.findChild<TfrmProgress*>();
  ASSERT_TRUE(progress);
  EXPECT_EQ(progress->controls().lblTips->text(), "Tip: Try the new DVD ripper.");
}

TEST_F(UpdateNotice, BrokenVersionReachesTheExceptionHandlerAndTheWindowStays) {
  server.body = "<XMLPackage><videoversion number=\"error\"/></XMLPackage>";
  Show();
  ASSERT_TRUE(waitFor([&] { return !prompts.asked.isEmpty(); }, 5000));
  EXPECT_EQ(prompts.asked[0].text, "'error' is not a valid floating point value.");
  EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Error);
  EXPECT_TRUE(window.isVisible());
}

TEST_F(UpdateNotice, OtherDocumentElementReadsEveryValueEmpty) {
  server.body = package("9.9", "Package");
  Show();
  ASSERT_TRUE(waitFor([&] { return !prompts.asked.isEmpty(); }, 5000));
  EXPECT_EQ(prompts.asked[0].text, "'' is not a valid floating point value.") << "an empty version, as before";
  EXPECT_TRUE(window.findChild<TUpdateNotice*>()->Tips().isEmpty());
}

TEST_F(UpdateNotice, HttpErrorIsSilent) {
  server.status = "404 Not Found";
  server.body = package("9.9");
  ShowAndCheck();
  EXPECT_TRUE(prompts.asked.isEmpty());
  EXPECT_FALSE(QFile::exists(FreshUpdateFile()));
}

TEST_F(UpdateNotice, NoServerIsSilentAndQuick) {
  const QString address = server.Address();
  server.close();  // nothing listens there now
  IniFile(home.settingsPath().toStdString()).writeString("settings", "UpdateUrl", address.toStdString());
  QElapsedTimer clock;
  clock.start();
  ShowAndCheck(3000);
  EXPECT_LT(clock.elapsed(), 3000);
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(UpdateNotice, SwitchedOffFetchesNothing) {
  server.body = package("9.9");
  IniFile(home.settingsPath().toStdString()).writeInteger("settings", "checkUpdates", 0);
  ShowAndCheck();
  QTest::qWait(200);
  EXPECT_TRUE(server.requests.isEmpty());
  EXPECT_TRUE(prompts.asked.isEmpty());
}

// A server that takes the request and never answers: after 15 s the check
// gives up, and all the while the window's events keep running.
TEST_F(UpdateNotice, SilentServerTimesOutWithoutFreezingTheWindow) {
  server.silent = true;
  int ticks = 0;
  QTimer heartbeat;
  QObject::connect(&heartbeat, &QTimer::timeout, [&] { ++ticks; });
  heartbeat.start(100);
  QElapsedTimer clock;
  clock.start();
  ShowAndCheck(25000);
  const qint64 waited = clock.elapsed();
  EXPECT_GE(waited, 14000);
  EXPECT_LT(waited, 20000);
  EXPECT_GT(ticks, int(waited / 100) * 8 / 10) << "events ran during the wait";
  EXPECT_TRUE(prompts.asked.isEmpty());
  EXPECT_EQ(server.requests.size(), 1);
}

}  // namespace

#include "UpdateNoticeTest.moc"
