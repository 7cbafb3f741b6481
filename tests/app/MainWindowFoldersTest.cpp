#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/MainWindow.h"
#include "frontend/IniFile.h"
#include "settings/PreferenceWindow.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "support/UrlRecorder.h"

namespace {

class MainWindowFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override { window.show(); }
  void TearDown() override {
    window.SetSkipExitConfirmation(true);
    window.close();
  }
  std::string storedOutputFolder() const {
    return IniFile(home.settingsPath().toStdString()).readString("settings", "OutPutDir", "absent");
  }

  TempHome home;
  ScriptedPrompts prompts;
  TfrmMain window;
  const MainControls& ui = window.controls();
};

TEST_F(MainWindowFoldersTest, BrowsStoresAndShowsANewOutputFolderThatOpenShows) {
  UrlRecorder opened("file");
  ASSERT_TRUE(ui.btnBrows->isEnabled());
  ui.btnBrows->click();  // cancelled
  EXPECT_EQ(storedOutputFolder(), "absent");
  EXPECT_EQ(ui.edDirectory->text(), home.path() + "/clipforge");
  prompts.queueFolder(home.path() + "/out");
  ui.btnBrows->click();
  EXPECT_EQ(prompts.folderRequests, 2);
  EXPECT_EQ(ui.edDirectory->text(), home.path() + "/out");
  EXPECT_EQ(storedOutputFolder(), (home.path() + "/out").toStdString());
  ui.btnOpen->click();
  EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(home.path() + "/out")});
}

TEST_F(MainWindowFoldersTest, PreferenceOpensTheKeptPreferencesDialog) {
  QAction* item = window.menus().actPreference;
  ASSERT_TRUE(item->isEnabled());
  QList<QWidget*> shown;
  auto closeWhenShown = [&] {
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      shown.append(dialog);
      if (dialog) dialog->close();
    });
  };
  closeWhenShown();
  item->trigger();
  closeWhenShown();
  item->trigger();
  ASSERT_EQ(shown.size(), 2);
  ASSERT_NE(qobject_cast<TfrmPreference*>(shown[0]), nullptr);
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_EQ(shown[0]->parentWidget(), &window);
}

}  // namespace
