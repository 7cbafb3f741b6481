// The settings dialog opened from the real main window: buffered edits, Ok and
// Cancel, validation on leaving a field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

#include "app/MainWindow.h"
#include "settings/FormatController.h"
#include "app/MainWindowMenus.h"
#include "frontend/FormatChoices.h"
#include "frontend/FormatList.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "jobs/FileJobAdding.h"
#include "settings/PanelTestSupport.h"
#include "settings/SettingsDialog.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"

namespace {

using namespace panel_test;

class SettingsDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    settings().writeString("settings", "FormatCode", "200");
    settings().writeString("settings", "FormatName", "Mobile Phone 3GP h263 Video(*.3gp)");
  }
  void Show() {
    window = std::make_unique<TfrmMain>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override {
    window->SetSkipExitConfirmation(true);
    window->close();
  }
  // Opens the dialog from Tools and runs the steps while it is shown; the
  // steps end by pressing Ok or Cancel.
  void RunDialog(const std::function<void(TfrmSettings&)>& steps) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TfrmSettings*>(QApplication::activeModalWidget());
      ran = dialog != nullptr;
      if (!dialog) return;
      QApplication::setActiveWindow(dialog);
      EXPECT_TRUE(dialog->isActiveWindow());  // focus changes need the active window
      steps(*dialog);
      if (dialog->isVisible()) dialog->reject();  // a failed step never leaves the test hanging
    });
    window->menus().actOutputSettings->trigger();
    EXPECT_TRUE(ran);
  }
  IniFile settings() const { return IniFile(home.settingsPath().toStdString()); }
  std::string stored(const char* key, int code = 200) const {
    return settings().readString("formatInfo" + std::to_string(code), key, "<none>");
  }

  TempHome home;
  ScriptedPrompts prompts;
  std::unique_ptr<TfrmMain> window;
};

// A typed size (index -1) shows as typed; "center" selects no zoom and Ok then
// stores no zoom; Ok writes the dialog's values.
TEST_F(SettingsDialog, ShowsTheStoredChoicesAndOkWritesThem) {
  settings().writeInteger("formatInfo200", "iVideoSize", -1);
  settings().writeString("formatInfo200", "paraVideoSize", "400x300");
  settings().writeString("formatInfo200", "paraZoom", "center");
  Show();
  RunDialog([&](TfrmSettings& dialog) {
    const auto& c = dialog.controls().combos;
    EXPECT_EQ(dialog.controls().edt1->text(), "Mobile Phone 3GP h263 Video(*.3gp)");
    EXPECT_EQ(c.cmbVideoSize->currentText(), "400x300");
    EXPECT_EQ(c.cmbZoom->currentIndex(), -1);
    EXPECT_EQ(c.cmbAudioEncoder->currentText(), "AAC");
    PickItem(c.cmbVolume, 4);
    Retype(c.cmbAudioBitRate, "40");
    EXPECT_EQ(stored("paraVolume"), "<none>");  // nothing before Ok
    QTest::mouseClick(dialog.controls().btnOk, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(stored("Description"), "Mobile Phone 3GP h263 Video(*.3gp)");
  EXPECT_EQ(stored("iVideoSize"), "-1");
  EXPECT_EQ(stored("paraVideoSize"), "400x300");
  EXPECT_EQ(stored("paraZoom"), "center");
  EXPECT_EQ(stored("paraVolume"), "320");
  EXPECT_EQ(stored("paraAudioBitRate"), "40");
  EXPECT_EQ(stored("paraAudioEncoder"), "libfaac");
  EXPECT_EQ(window->controls().cmbVolume->currentText(), "125%");  // the main panel shows the new values
  EXPECT_EQ(window->controls().cmbAudioBitRate->currentText(), "40");
}

TEST_F(SettingsDialog, AnotherFormatIsTakenByOkOnlyAndDefaultStoresNothing) {
  Show();
  const QString mp3 = "MP3 MPEG Layer-3 Audio (*.mp3)";
  auto chooseMp3 = [&](TfrmSettings& dialog) {
    QTest::mouseClick(dialog.controls().imgbtn1, Qt::LeftButton);
    QListWidget* list = dialog.controls().lst1;
    ASSERT_TRUE(list->isVisible());
    EXPECT_GE(list->y(), dialog.controls().edt1->geometry().bottom() - 1);  // opens downward
    EXPECT_LE(list->height(), 247);
    PressRow(list, "General Audio formates", 5);
    PressRow(list, mp3);
    EXPECT_EQ(dialog.controls().edt1->text(), mp3);
    EXPECT_FALSE(dialog.controls().combos.cmbVideoSize->isEnabled());
  };
  RunDialog([&](TfrmSettings& dialog) {
    chooseMp3(dialog);
    QTest::mouseClick(dialog.controls().btnDefault, Qt::LeftButton);
    QTest::mouseClick(dialog.controls().btnCancel, Qt::LeftButton);
  });
  EXPECT_EQ(settings().readString("settings", "FormatCode", ""), "200");
  EXPECT_EQ(window->Formats().CurrentFormatCode(), "200");
  EXPECT_EQ(window->controls().edt1->text(), "Mobile Phone 3GP h263 Video(*.3gp)");
  EXPECT_EQ(stored("paraAudioEncoder", 700), "<none>");

  RunDialog([&](TfrmSettings& dialog) {
    EXPECT_EQ(dialog.controls().edt1->text(), "Mobile Phone 3GP h263 Video(*.3gp)");  // reloaded
    chooseMp3(dialog);
    QTest::mouseClick(dialog.controls().btnOk, Qt::LeftButton);
  });
  EXPECT_EQ(settings().readString("settings", "FormatCode", ""), "700");
  EXPECT_EQ(window->Formats().CurrentFormatCode(), "700");
  EXPECT_EQ(window->controls().edt1->text(), mp3);
  EXPECT_FALSE(window->controls().cmbVideoSize->isEnabled());
  // Never stored, the catalogue's default shows and is what Ok stores.
  EXPECT_EQ(window->controls().cmbAudioBitRate->currentText(), "128");
  EXPECT_EQ(stored("paraAudioBitRate", 700), "128");
  EXPECT_FALSE(settings().readBool("lstformat", "7", true));  // the dialog's expanded group
  EXPECT_EQ(window->controls().lst1->count(), 20);
}

// On a fresh settings file the dialog shows what the panel shows and what a
// conversion uses (the catalogue's defaults, not each list's first item), and
// an untouched Ok changes nothing a conversion reads.
TEST_F(SettingsDialog, NeverStoredChoicesShowTheCataloguesDefaultsAndOkKeepsThem) {
  settings().writeString("settings", "FormatCode", "0");
  settings().writeString("settings", "FormatName", format_catalogue::FormatName(0));
  Show();
  const IniFile catalogue(platform_paths::CatalogueFilePath());
  constexpr const char* kKeys[] = {"paraVideoSize", "paraVideoBitRate", "paraFrameRate",  "paraVideoEncoder",
                                   "paraAudioBitRate", "paraSampleRate", "paraAudioEncoder", "paraChannel",
                                   "paraVolume"};
  auto conversionValues = [&] {
    std::vector<std::string> values;
    for (const char* key : kKeys) values.push_back(FormatParameters(settings(), catalogue, 0).Read(key, "<none>"));
    values.push_back(CurrentZoomMode(settings(), 0));
    return values;
  };
  const std::vector<std::string> before = conversionValues();
  EXPECT_EQ(before[1], "1200");
  EXPECT_EQ(before[8], "256");
  const auto& panel = window->controls();
  RunDialog([&](TfrmSettings& dialog) {
    const auto& c = dialog.controls().combos;
    for (auto combo : {&TParameterCombos::cmbVideoSize, &TParameterCombos::cmbVideoBitRate,
                       &TParameterCombos::cmbFrameRate, &TParameterCombos::cmbVideoEncoder,
                       &TParameterCombos::cmbAudioBitRate, &TParameterCombos::cmbSamplerate,
                       &TParameterCombos::cmbChannel, &TParameterCombos::cmbVolume})
      EXPECT_EQ((c.*combo)->currentText(), (panel.*combo)->currentText()) << (c.*combo)->objectName().toStdString();
    EXPECT_EQ(c.cmbZoom->currentIndex(), panel.cmbZoom->currentIndex());
    EXPECT_EQ(c.cmbVideoBitRate->currentText(), "1200");
    EXPECT_EQ(c.cmbSamplerate->currentText(), "44100");
    EXPECT_EQ(c.cmbChannel->currentText(), "stereo 2 channels");
    EXPECT_EQ(c.cmbVolume->currentText(), "100%");
    EXPECT_EQ(c.cmbZoom->currentText(), "Letterbox");
    QTest::mouseClick(dialog.controls().btnOk, Qt::LeftButton);
  });
  EXPECT_EQ(stored("paraVolume", 0), "256");
  EXPECT_EQ(conversionValues(), before);
}

// A failed check keeps the dialog open with the focus on the field, also when
// the field is left by pressing Ok.
TEST_F(SettingsDialog, LeavingABadFieldReportsAndKeepsTheDialogOpen) {
  Show();
  RunDialog([&](TfrmSettings& dialog) {
    const auto& c = dialog.controls().combos;
    Retype(c.cmbVideoBitRate, "");
    EXPECT_TRUE(prompts.asked.isEmpty());  // checked when left, not while typed
    QTest::mouseClick(dialog.controls().btnOk, Qt::LeftButton);
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].text, "Video BitRate is not a valid value!");
    EXPECT_EQ(c.cmbVideoBitRate->currentText(), "96");
    EXPECT_TRUE(dialog.isVisible());
    QApplication::processEvents();
    EXPECT_TRUE(c.cmbVideoBitRate->hasFocus());

    Retype(c.cmbVideoSize, "353x289");
    c.cmbFrameRate->setFocus();
    EXPECT_EQ(prompts.asked.back().caption, "Input Error!");
    EXPECT_EQ(c.cmbVideoSize->currentText(), "352x288");
    QApplication::processEvents();
    EXPECT_TRUE(c.cmbVideoSize->hasFocus());
    QTest::mouseClick(dialog.controls().btnOk, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
  });
  EXPECT_EQ(stored("paraVideoSize"), "352x288");
  EXPECT_EQ(stored("paraVideoBitRate"), "96");
}

}  // namespace
