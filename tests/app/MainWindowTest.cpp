#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QPlainTextEdit>
#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>

#include <QThread>
#include <thread>

#include "app/MainWindow.h"
#include "settings/FormatController.h"
#include "batch/BatchController.h"
#include "frontend/IniFile.h"
#include "media/MediaApi.h"
#include "media/MediaLoader.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "ui/Themes.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void writeSetting(const char* key, const std::string& value) {
    IniFile(home.settingsPath().toStdString()).writeString("settings", key, value);
  }
  std::unique_ptr<TfrmMain> showWindow() {
    auto window = std::make_unique<TfrmMain>();
    window->show();
    return window;
  }
  void closeWithoutQuestion(TfrmMain& window) {
    window.SetSkipExitConfirmation(true);
    window.close();
  }

  TempHome home;
  ScriptedPrompts prompts;
};

// Counts how often a widget is hidden.
class HideCounter : public QObject {
 public:
  int hides = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Hide) ++hides;
    return false;
  }
};

TEST_F(MainWindowTest, MissingSettingsFileShowsTheDefaults) {
  auto window = showWindow();
  const auto& ui = window->controls();
  EXPECT_EQ(themes::current(), 0);
  EXPECT_EQ(window->size(), QSize(786, 522));
  EXPECT_EQ(ui.edDirectory->text(), home.path() + "/clipforge");
  EXPECT_EQ(ui.trcVolume->minimum(), 0);
  EXPECT_EQ(ui.trcVolume->maximum(), 128);
  EXPECT_EQ(ui.trcVolume->value(), 0);
  EXPECT_EQ(window->Formats().CurrentFormatCode(), "1");
  EXPECT_EQ(window->Formats().CurrentFormatName(), "iPod Video MPEG-4");
  EXPECT_EQ(window->windowTitle(), "Oxbel DVD to 3GP Converter 1.700 ");
  EXPECT_EQ(window->GlobalObject().IniPath(), home.settingsPath());
  EXPECT_TRUE(window->GlobalObject().FormatIniPath().endsWith("/oxbel3gpformat.ini"));

  EXPECT_FALSE(ui.mmoLog->isVisible());
  EXPECT_FALSE(ui.cbOutputFormat->isVisible());
  EXPECT_EQ(ui.cbOutputFormat->count(), 16);
  EXPECT_EQ(ui.cbOutputFormat->currentIndex(), 0);
  EXPECT_FALSE(ui.cmbAudioLanguage->isEnabled());
  EXPECT_FALSE(ui.cmbSubtitle->isEnabled());
  EXPECT_FALSE(ui.imgbtnStop->isEnabled());
  EXPECT_FALSE(ui.trcPreview->isEnabled());

  ASSERT_EQ(ui.lvFiles->columnCount(), 5);
  EXPECT_EQ(ui.lvFiles->headerItem()->text(2), "Trimmed Length");
  EXPECT_EQ(ui.lvFiles->columnWidth(3), 120);

  emit window->menus().mnuSkin->aboutToShow();
  EXPECT_TRUE(window->menus().actSkins[1]->isChecked());
  EXPECT_EQ(window->menus().actSkins[1]->text(), "Gray");
  EXPECT_FALSE(window->menus().actSkins[0]->isChecked());

  // Showing reads settings but writes none.
  EXPECT_FALSE(QFileInfo::exists(home.settingsPath()));
  closeWithoutQuestion(*window);
}

TEST_F(MainWindowTest, StoredValuesAreShownAndVolumeOutOfRangeGives64) {
  writeSetting("volume", "200");
  writeSetting("mute", "1");
  writeSetting("OutPutFormat", "5");
  writeSetting("OutPutDir", "/srv/videos");
  writeSetting("FormatCode", "201");
  writeSetting("skinIndex", "3");
  auto window = showWindow();
  const auto& ui = window->controls();
  EXPECT_EQ(ui.trcVolume->value(), 64);
  EXPECT_TRUE(ui.ckMute->isChecked());
  EXPECT_EQ(ui.cbOutputFormat->currentIndex(), 5);
  EXPECT_EQ(ui.edDirectory->text(), "/srv/videos");
  EXPECT_EQ(window->Formats().CurrentFormatCode(), "201");
  EXPECT_EQ(themes::current(), 3);
  EXPECT_EQ(QApplication::palette().color(QPalette::AlternateBase), QColor(0xF6, 0xE6, 0xF1));

  // The legacy combo remembers a new choice; the output field stores its text.
  ui.cbOutputFormat->setCurrentIndex(7);
  ui.edDirectory->setText("/srv/other");
  IniFile settings(home.settingsPath().toStdString());
  EXPECT_EQ(settings.readInteger("settings", "OutPutFormat", 0), 7);
  EXPECT_EQ(settings.readString("settings", "OutPutDir", ""), "/srv/other");
  closeWithoutQuestion(*window);
  themes::apply(0);
}

TEST_F(MainWindowTest, MuteIsUntouchedByValuesOtherThanZeroAndOne) {
  writeSetting("mute", "7");
  TfrmMain window;
  window.controls().ckMute->setChecked(true);
  window.show();
  EXPECT_TRUE(window.controls().ckMute->isChecked());
  closeWithoutQuestion(window);
}

TEST_F(MainWindowTest, ChoosingTheCheckedSkinDoesNothingAnotherSwitchesAndIsStored) {
  auto window = showWindow();
  HideCounter counter;
  window->installEventFilter(&counter);
  const auto& menus = window->menus();

  emit menus.mnuSkin->aboutToShow();
  menus.actSkins[1]->trigger();
  EXPECT_TRUE(menus.actSkins[1]->isChecked());
  EXPECT_EQ(counter.hides, 0);
  EXPECT_FALSE(QFileInfo::exists(home.settingsPath()));

  menus.actSkins[5]->trigger();
  EXPECT_EQ(counter.hides, 1);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(themes::current(), 5);
  EXPECT_TRUE(menus.actSkins[5]->isChecked());
  EXPECT_FALSE(menus.actSkins[1]->isChecked());
  EXPECT_EQ(IniFile(home.settingsPath().toStdString()).readInteger("settings", "skinIndex", -1), 5);

  emit menus.mnuSkin->aboutToShow();
  EXPECT_TRUE(menus.actSkins[5]->isChecked());
  window->removeEventFilter(&counter);
  closeWithoutQuestion(*window);
  themes::apply(0);
}

TEST_F(MainWindowTest, ExitQuestionAnsweredNoKeepsTheWindowOpen) {
  auto window = showWindow();
  prompts.queueAnswer(PromptAnswer::No);
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].caption, "Warning");
  EXPECT_EQ(prompts.asked[0].text, "Do you really want to exit?");
  EXPECT_EQ(prompts.asked[0].buttons, PromptButtons::YesNo);
  EXPECT_EQ(prompts.asked[0].icon, PromptIcon::Question);
  EXPECT_NE(window->Batch().ConversionPreview(), nullptr);

  prompts.queueAnswer(PromptAnswer::Yes);
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->Batch().ConversionPreview(), nullptr);
}

TEST_F(MainWindowTest, JobCommandsAreDisabledWhileTheListIsEmpty) {
  auto window = showWindow();
  const auto& menus = window->menus();
  emit menus.mnuEdit->aboutToShow();
  for (QAction* action : menus.mnuEdit->actions()) {
    if (action->isSeparator()) continue;
    EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
  }
  emit menus.pmFiles->aboutToShow();
  for (QAction* action : {menus.popCrop, menus.popTrim, menus.popEffects, menus.popRemove, menus.popClear, menus.popStart}) {
    EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
  }
  EXPECT_FALSE(menus.actSettings->isVisible());
  EXPECT_FALSE(menus.popVideoInfo->isVisible());
  EXPECT_TRUE(menus.actExit->isEnabled());
  closeWithoutQuestion(*window);
}

// The libraries are loaded at creation, and library messages from any thread
// reach the log memo on the UI thread.
TEST_F(MainWindowTest, LibraryLogFromAWorkerReachesTheLogMemo) {
  auto window = showWindow();
  ASSERT_TRUE(TMediaLoader::instance().isSetLoaded(kPlayerLibraries)) << window->controls().mmoLog->toPlainText().toStdString();
  std::atomic<bool> logged{false};
  std::thread worker([&] {
    media::av_log(nullptr, AV_LOG_ERROR, "message from a worker\n");
    logged = true;
  });
  while (!logged) {
    QApplication::processEvents();
    QThread::msleep(1);
  }
  worker.join();
  EXPECT_TRUE(window->controls().mmoLog->toPlainText().contains("message from a worker"));
  closeWithoutQuestion(*window);
}

}  // namespace
