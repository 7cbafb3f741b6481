#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "app/Application.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "ui/FolderChooser.h"
#include "ui/OpticalMedia.h"
#include "ui/QtPrompts.h"

namespace {

class FolderChooserTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QDir(home.path()).mkpath("videos");
    QDir(home.path()).mkpath("disc/VIDEO_TS");
    // The machine has no optical drive: the mount table says "disc" holds one.
    const QString mountInfo = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                              "40 22 11:0 / " + home.path() + "/disc ro - iso9660 /dev/sr0 ro\n";
    chooser.SetOpticalTest([mountInfo](const QString& folder) {
      return IsOnOpticalMedium(folder, mountInfo, {});
    });
  }
  QString selected() const {
    auto* model = static_cast<QFileSystemModel*>(chooser.stview_selectdir->model());
    return model->filePath(chooser.stview_selectdir->currentIndex());
  }

  TempHome home;
  ScriptedPrompts prompts;
  TfmDirectory chooser;
};

TEST_F(FolderChooserTest, ShowingSelectsHomeOkReturnsTheSelectedFolderEscapeNone) {
  chooser.show();
  EXPECT_EQ(chooser.windowTitle(), "Brows");
  EXPECT_EQ(selected(), home.path());
  EXPECT_TRUE(chooser.btnOk->isEnabled());
  chooser.SelectFolder("/proc");
  EXPECT_FALSE(chooser.btnOk->isEnabled());
  chooser.SelectFolder(home.path() + "/videos");
  QTest::mouseClick(chooser.btnOk, Qt::LeftButton);
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_EQ(chooser.result(), QDialog::Accepted);
  EXPECT_EQ(chooser.ChosenPath(), home.path() + "/videos");
  // The next showing starts at home again and keeps the last choice until one is made.
  chooser.show();
  EXPECT_EQ(selected(), home.path());
  EXPECT_EQ(chooser.ChosenPath(), home.path() + "/videos");
  QTest::keyClick(&chooser, Qt::Key_Escape);
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_EQ(chooser.ChosenPath(), "");
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(FolderChooserTest, AFolderOnADiscIsRefusedAndTheChooserStaysOpen) {
  setApplicationTitle("Oxbel DVD to 3GP Converter");
  chooser.show();
  chooser.SelectFolder(home.path() + "/disc/VIDEO_TS");
  QTest::mouseClick(chooser.btnOk, Qt::LeftButton);
  EXPECT_TRUE(chooser.isVisible());
  EXPECT_EQ(chooser.ChosenPath(), "");
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Oxbel DVD to 3GP Converter");
  EXPECT_EQ(prompts.asked[0].text, "Output folder cannot be located in CD-ROM.Please select another folder.");
  EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Information);
  EXPECT_EQ(prompts.asked[0].buttons, PromptButtons::Ok);
  // Another folder is then taken.
  chooser.SelectFolder(home.path() + "/videos");
  QTest::mouseClick(chooser.btnOk, Qt::LeftButton);
  EXPECT_FALSE(chooser.isVisible());
  EXPECT_EQ(chooser.ChosenPath(), home.path() + "/videos");
}

// The program's own prompts keep one chooser and move it to the window that asks.
TEST(QtFolderPrompt, OneChooserGoesToTheAskingWindow) {
  TempHome home;
  QtPrompts qtPrompts;
  QDialog first, second;
  QList<QWidget*> shown;
  auto chooseFrom = [&](QWidget* window, const QString& folder) {
    QTimer::singleShot(0, [&, folder] {
      auto* chooser = qobject_cast<TfmDirectory*>(QApplication::activeModalWidget());
      shown.append(chooser);
      if (!chooser) return;
      chooser->SelectFolder(folder);
      chooser->btnOk->click();
    });
    return qtPrompts.chooseFolder(window);
  };
  EXPECT_EQ(chooseFrom(&first, "/tmp"), "/tmp");
  EXPECT_EQ(chooseFrom(&second, home.path()), home.path());
  ASSERT_EQ(shown.size(), 2);
  ASSERT_NE(shown[0], nullptr);
  EXPECT_EQ(shown[0], shown[1]);
  EXPECT_EQ(shown[1]->parentWidget(), &second);
}

}  // namespace
