#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QThread>

#include "app/CoverWindow.h"
#include "support/TempHome.h"

namespace {

void waitUntil(const std::function<bool()>& done, int milliseconds) {
  for (int waited = 0; waited < milliseconds && !done(); waited += 10) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

TEST(CoverWindow, UsesTheSkinPictureWhenPresentAndTheBuiltInOneOtherwise) {
  TempHome home;
  const QString jpeg = home.path() + "/dvd3gpcover.jpg";
  QImage picture(300, 120, QImage::Format_RGB32);
  picture.fill(Qt::darkRed);
  ASSERT_TRUE(picture.save(jpeg));

  TfrmCover fromSkin(jpeg);
  EXPECT_EQ(fromSkin.size(), QSize(300, 120));

  TfrmCover builtIn(home.path() + "/missing.jpg");
  EXPECT_FALSE(builtIn.picture().isNull());
  EXPECT_EQ(builtIn.size(), BuiltInCoverPicture().size());
}

TEST(CoverWindow, ClosesAtTheFirstTickAfterTheMainWindowShows) {
  TfrmCover cover(QString{});
  QWidget mainWindow;
  cover.watchMainWindow(&mainWindow);
  cover.show();
  waitUntil([] { return false; }, 1200);
  EXPECT_TRUE(cover.isVisible());  // main window not showing yet

  mainWindow.show();
  waitUntil([&] { return !cover.isVisible(); }, 1500);
  EXPECT_FALSE(cover.isVisible());
}

}  // namespace
