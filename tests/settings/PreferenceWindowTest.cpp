#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "frontend/IniFile.h"
#include "settings/PreferenceWindow.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "support/UrlRecorder.h"

namespace {

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2)); }

class PreferenceWindowTest : public ::testing::Test {
 protected:
  IniFile settings() const { return IniFile(home.settingsPath().toStdString()); }
  std::string read(const char* key) const { return settings().readString("settings", key, "absent"); }
  void write(const char* key, const std::string& value) { settings().writeString("settings", key, value); }

  TempHome home;
  ScriptedPrompts prompts;
  TfrmPreference dialog{[this] { return settings(); }, nullptr};
  const PreferenceControls& ui = dialog.controls();
};

TEST_F(PreferenceWindowTest, ShowingLoadsTheSettingsEveryTime) {
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Preference");
  EXPECT_EQ(ui.edtSnapDirectory->text(), home.path() + "/clipforge");
  EXPECT_TRUE(ui.edtSnapDirectory->isReadOnly());
  for (QCheckBox* box : {ui.ckFullSize, ui.ckSmallSize, ui.ckBmp, ui.ckJpg}) EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(ui.spedCmp->value(), 30);
  EXPECT_EQ(ui.trcCmp->value(), 30);
  EXPECT_EQ(ui.trcCmp->minimum(), 1);
  EXPECT_EQ(ui.spedCmp->maximum(), 100);
  EXPECT_TRUE(ui.trcCmp->isEnabled());
  EXPECT_EQ(ui.priorityItems->checkedId(), 1);
  dialog.reject();

  write("snapOutPutDir", "/srv/shots");
  write("snapSmallSize", "0");
  write("snapJpg", "0");
  write("jpgCmp", "75");
  write("Priority", "3");
  dialog.show();
  EXPECT_EQ(ui.edtSnapDirectory->text(), "/srv/shots");
  // A box checked at the last showing shows what is stored now.
  EXPECT_FALSE(ui.ckSmallSize->isChecked());
  EXPECT_FALSE(ui.ckJpg->isChecked());
  EXPECT_TRUE(ui.ckBmp->isChecked());
  EXPECT_FALSE(ui.spedCmp->isEnabled());
  EXPECT_FALSE(ui.trcCmp->isEnabled());
  EXPECT_EQ(ui.trcCmp->value(), 75);
  EXPECT_EQ(ui.priorityItems->checkedId(), 3);
  dialog.reject();

  write("priority", "7");
  dialog.show();
  EXPECT_EQ(ui.priorityItems->checkedId(), -1);
}

TEST_F(PreferenceWindowTest, OneOfEachPairStaysCheckedJpgRulesTheQualityBothQualityControlsAgree) {
  dialog.show();
  QTest::keyClick(ui.trcCmp, Qt::Key_End);
  EXPECT_EQ(ui.spedCmp->value(), 100);
  QTest::keyClick(ui.spedCmp, Qt::Key_Down);
  EXPECT_EQ(ui.trcCmp->value(), 99);
  click(ui.ckBmp);
  EXPECT_FALSE(ui.ckBmp->isChecked());
  click(ui.ckJpg);  // the last format cannot go
  EXPECT_TRUE(ui.ckJpg->isChecked());
  EXPECT_TRUE(ui.spedCmp->isEnabled());
  click(ui.ckBmp);
  click(ui.ckJpg);
  EXPECT_FALSE(ui.ckJpg->isChecked());
  EXPECT_FALSE(ui.spedCmp->isEnabled());
  EXPECT_FALSE(ui.trcCmp->isEnabled());
  click(ui.ckBmp);
  EXPECT_TRUE(ui.ckBmp->isChecked());
  click(ui.ckJpg);
  EXPECT_TRUE(ui.trcCmp->isEnabled());

  click(ui.ckFullSize);
  click(ui.ckSmallSize);
  EXPECT_FALSE(ui.ckFullSize->isChecked());
  EXPECT_TRUE(ui.ckSmallSize->isChecked());
  click(ui.ckFullSize);
  click(ui.ckSmallSize);
  EXPECT_TRUE(ui.ckFullSize->isChecked());
  EXPECT_FALSE(ui.ckSmallSize->isChecked());
}

TEST_F(PreferenceWindowTest, OkWritesEveryControl) {
  dialog.show();
  click(ui.ckSmallSize);
  click(ui.ckBmp);
  ui.spedCmp->setValue(64);
  click(ui.priorityItems->button(0));
  EXPECT_TRUE(ui.ckCheckUpdates->isChecked()) << "the update check is on by default";
  click(ui.ckCheckUpdates);
  click(ui.btnOk);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(read("checkUpdates"), "0");
  EXPECT_EQ(read("SnapOutPutDir"), (home.path() + "/clipforge").toStdString());
  EXPECT_EQ(read("snapSmallSize"), "0");
  EXPECT_EQ(read("snapFullSize"), "1");
  EXPECT_EQ(read("snapBmp"), "0");
  EXPECT_EQ(read("snapJpg"), "1");
  EXPECT_EQ(read("jpgCmp"), "64");
  EXPECT_EQ(read("priority"), "0");

  // An empty folder is stored as the default folder; no item selected as -1.
  write("SnapOutPutDir", "");
  write("priority", "9");
  dialog.show();
  EXPECT_EQ(ui.edtSnapDirectory->text(), "");
  click(ui.btnOk);
  EXPECT_EQ(read("SnapOutPutDir"), (home.path() + "/clipforge").toStdString());
  EXPECT_EQ(read("priority"), "-1");
}

// The deinterlace choice: Auto unless stored, picked with the keyboard like
// any combo, stored by Ok, and back to Auto by Default.
TEST_F(PreferenceWindowTest, DeinterlaceChoiceIsShownAndStored) {
  dialog.show();
  EXPECT_EQ(ui.cmbDeinterlace->currentText(), "Auto");
  ui.cmbDeinterlace->setFocus();
  QTest::keyClick(ui.cmbDeinterlace, Qt::Key_Down);
  QTest::keyClick(ui.cmbDeinterlace, Qt::Key_Down);
  EXPECT_EQ(ui.cmbDeinterlace->currentText(), "Never");
  click(ui.btnOk);
  EXPECT_EQ(read("deinterlace"), "never");
  write("deinterlace", "always");
  dialog.show();
  EXPECT_EQ(ui.cmbDeinterlace->currentText(), "Always");
  click(ui.btnDefault);
  EXPECT_EQ(ui.cmbDeinterlace->currentText(), "Auto");
  write("deinterlace", "sometimes");
  dialog.show();
  EXPECT_EQ(ui.cmbDeinterlace->currentText(), "Auto") << "an unknown value reads as the default";
}

TEST_F(PreferenceWindowTest, DefaultSetsOnlyTheControlsAndCancelWritesNothing) {
  write("SnapOutPutDir", "/srv/shots");
  write("snapSmallSize", "1");
  write("jpgCmp", "90");
  write("priority", "3");
  write("checkUpdates", "0");
  const std::string before = ReadFileBytes(home.settingsPath().toStdString());
  dialog.show();
  click(ui.btnDefault);
  EXPECT_EQ(ui.edtSnapDirectory->text(), home.path() + "/clipforge");
  EXPECT_TRUE(ui.ckBmp->isChecked());
  EXPECT_FALSE(ui.ckJpg->isChecked());
  EXPECT_TRUE(ui.ckFullSize->isChecked());
  EXPECT_FALSE(ui.ckSmallSize->isChecked());
  EXPECT_EQ(ui.priorityItems->checkedId(), 1);
  EXPECT_TRUE(ui.ckCheckUpdates->isChecked());
  EXPECT_EQ(ui.spedCmp->value(), 20);
  EXPECT_EQ(ui.trcCmp->value(), 20);
  EXPECT_FALSE(ui.spedCmp->isEnabled());
  click(ui.btnCancel);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(ReadFileBytes(home.settingsPath().toStdString()), before);
}

TEST_F(PreferenceWindowTest, BrowsStoresANewFolderAtOnceEvenWhenCancelled) {
  const std::string before = ReadFileBytes(home.settingsPath().toStdString());
  dialog.show();
  click(ui.btnBrows);  // the chooser is cancelled
  prompts.queueFolder(home.path() + "/clipforge");  // the folder already shown
  click(ui.btnBrows);
  EXPECT_EQ(prompts.folderRequests, 2);
  EXPECT_EQ(ReadFileBytes(home.settingsPath().toStdString()), before);

  prompts.queueFolder(home.path() + "/shots");
  click(ui.btnBrows);
  EXPECT_EQ(ui.edtSnapDirectory->text(), home.path() + "/shots");
  click(ui.btnCancel);
  EXPECT_EQ(read("SnapOutPutDir"), (home.path() + "/shots").toStdString());
  EXPECT_EQ(read("snapJpg"), "absent");
}

TEST_F(PreferenceWindowTest, OpenShowsTheStoredFolderNotTheField) {
  UrlRecorder opened("file");
  write("SnapOutPutDir", "/srv/shots");
  dialog.show();
  click(ui.btnDefault);
  click(ui.btnOpen);
  dialog.reject();
  write("SnapOutPutDir", "");
  dialog.show();
  click(ui.btnOpen);  // an empty field opens nothing
  EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile("/srv/shots")});
}

}  // namespace
