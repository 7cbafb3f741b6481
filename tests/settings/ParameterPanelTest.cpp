// The main window's format picker and parameter combos, driven offscreen with
// real mouse and key events.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "app/MainWindow.h"
#include "settings/FormatController.h"
#include "frontend/FormatChoices.h"
#include "frontend/IniFile.h"
#include "settings/FormatPicker.h"
#include "settings/PanelTestSupport.h"
#include "settings/ParameterCombos.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"

namespace {

using namespace panel_test;
using parameter_combos::FrameSizeCheck;

const QString k3gpH263 = "Mobile Phone 3GP h263 Video(*.3gp)";

class Panel : public ::testing::Test {
 protected:
  void Show() {
    window = std::make_unique<TfrmMain>();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }
  void TearDown() override {
    if (!window) return;
    window->SetSkipExitConfirmation(true);
    window->close();
  }
  IniFile settings() const { return IniFile(home.settingsPath().toStdString()); }
  std::string stored(const char* key, int code = 200) const {
    return settings().readString("formatInfo" + std::to_string(code), key, "<none>");
  }
  const MainControls& ui() const { return window->controls(); }
  // Opens the picker, expands "Mobile Phone" and chooses the 3GP H.263 format.
  void Choose3gp() {
    QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
    if (RowOf(ui().lst1, k3gpH263) < 0) PressRow(ui().lst1, "Mobile Phone", 5);
    PressRow(ui().lst1, k3gpH263);
  }

  TempHome home;
  ScriptedPrompts prompts;
  std::unique_ptr<TfrmMain> window;
};

TEST(FrameSizeCheck, CorrectsOddAndZeroPartsAndRefusesWhatIsNoSize) {
  struct Case {
    const char* text;
    FrameSizeCheck::Result result;
    const char* corrected;
  } cases[] = {{"320x240", FrameSizeCheck::Accepted, "320x240"},  {"321x241", FrameSizeCheck::Corrected, "320x240"},
               {"0x240", FrameSizeCheck::Corrected, "2x240"},     {"1x1", FrameSizeCheck::Corrected, "2x2"},
               {"320x240x5", FrameSizeCheck::Invalid, ""},        {"320", FrameSizeCheck::Invalid, ""},
               {"x240", FrameSizeCheck::Invalid, ""},              {"-320x240", FrameSizeCheck::Invalid, ""},
               {"As Source", FrameSizeCheck::Accepted, "As Source"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const FrameSizeCheck check = parameter_combos::CheckFrameSize(c.text);
    EXPECT_EQ(check.result, c.result);
    if (c.result != FrameSizeCheck::Invalid) {
      EXPECT_EQ(check.text, c.corrected);
    }
  }
}

// The catalogue's lists: pieces kept as they are, a trailing comma giving an
// empty last item, "null" none; an empty encoder list disables its group.
TEST(ParameterCombos, FillFromTheCatalogueAndEnableByTheEncoderLists) {
  QTemporaryDir dir;
  IniFile catalogue((dir.path() + "/catalogue.ini").toStdString());
  catalogue.writeString("formatInfo5", "VideoSize", "176x144,320x240,");
  catalogue.writeString("formatInfo5", "VideoEncoder", "null");
  catalogue.writeString("formatInfo5", "AudioEncoder", "MP3, AAC");
  TParameterCombos c;
  std::vector<std::unique_ptr<QComboBox>> owned;
  for (QComboBox** combo : {&c.cmbVideoSize, &c.cmbVideoEncoder, &c.cmbVideoBitRate, &c.cmbFrameRate, &c.cmbZoom,
                            &c.cmbSamplerate, &c.cmbAudioBitRate, &c.cmbAudioEncoder, &c.cmbChannel, &c.cmbVolume})
    *combo = owned.emplace_back(std::make_unique<QComboBox>()).get();
  parameter_combos::FillFromCatalogue(c, catalogue, 5);
  parameter_combos::FinishApplying(c);
  ASSERT_EQ(c.cmbVideoSize->count(), 3);
  EXPECT_EQ(c.cmbVideoSize->itemText(2), "");
  EXPECT_EQ(c.cmbAudioEncoder->itemText(1), " AAC");
  EXPECT_EQ(c.cmbVideoBitRate->count(), 0);  // a missing key reads as "null"
  EXPECT_FALSE(c.cmbVideoSize->isEnabled());
  EXPECT_FALSE(c.cmbZoom->isEnabled());
  EXPECT_TRUE(c.cmbVolume->isEnabled());
}

TEST_F(Panel, PickerExpandsAGroupChoosesAFormatAndKeepsTheExpandState) {
  Show();
  QListWidget* list = ui().lst1;
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(list->count(), 13);  // every group collapsed on a fresh home
  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->currentRow(), -1);  // the default name is no row
  EXPECT_LE(list->geometry().bottom(), ui().edt1->mapTo(window.get(), QPoint(0, 0)).y());

  PressRow(list, "Mobile Phone", 40);  // away from the left edge: no toggle
  EXPECT_EQ(list->count(), 13);
  PressRow(list, "Mobile Phone", 5);
  ASSERT_EQ(list->count(), 19);
  EXPECT_EQ(TFormatPicker::Info(list->item(3)).Code, 200);
  EXPECT_EQ(list->height(), 19 * 20 + 20);  // resized by the click
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  EXPECT_EQ(list->count(), 24);  // "Apple iPhone" expanded by the double-click
  PressRow(list, "Apple iPhone", 5);
  ASSERT_EQ(list->count(), 19);

  PressRow(list, k3gpH263);
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(ui().edt1->text(), k3gpH263);
  EXPECT_EQ(window->Formats().CurrentFormatCode(), "200");
  EXPECT_EQ(settings().readString("settings", "FormatCode", ""), "200");
  EXPECT_EQ(settings().readString("settings", "FormatName", ""), k3gpH263.toStdString());
  EXPECT_EQ(ui().cmbVideoSize->count(), 3);  // the format's lists
  EXPECT_EQ(ui().cmbAudioEncoder->currentText(), "AAC");
  EXPECT_EQ(stored("paraVideoSize"), "<none>");  // applying a format writes nothing

  // Opening again selects the current format; a press elsewhere closes the list.
  QTest::mouseClick(ui().edt1, Qt::LeftButton);
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->currentItem()->text(), k3gpH263);
  QTest::mousePress(ui().lvFiles->viewport(), Qt::LeftButton);
  EXPECT_FALSE(list->isVisible());

  window->SetSkipExitConfirmation(true);
  window->close();
  EXPECT_FALSE(settings().readBool("lstformat", "2", true));
  EXPECT_TRUE(settings().readBool("lstformat", "0", false));
  window.reset();
  Show();  // the next run shows the group expanded and the format selected
  EXPECT_EQ(ui().lst1->count(), 19);
  EXPECT_EQ(ui().lst1->currentItem()->text(), k3gpH263);
  EXPECT_EQ(ui().cmbVideoSize->count(), 3);
}

// Choosing the current format again writes the same keys and leaves the
// combos as they are; a collapsed group hides the current format's row.
TEST_F(Panel, ChoosingTheCurrentFormatAgainKeepsTheCombos) {
  Show();
  Choose3gp();
  ui().cmbVideoSize->setEditText("400x300");  // shown, not stored
  Choose3gp();
  EXPECT_EQ(ui().cmbVideoSize->currentText(), "400x300");
  EXPECT_EQ(settings().readString("settings", "FormatCode", ""), "200");
  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  PressRow(ui().lst1, "Mobile Phone", 5);  // collapse
  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  EXPECT_TRUE(ui().lst1->isVisible());
  EXPECT_EQ(ui().lst1->currentRow(), -1);
}

// With nothing stored the panel shows what a conversion would use.
TEST_F(Panel, UnstoredChoicesShowWhatTheConversionUses) {
  Show();
  Choose3gp();
  const IniFile catalogue(window->GlobalObject().FormatIniPath().toStdString());
  const FormatParameters format(settings(), catalogue, 200);
  EXPECT_EQ(ui().cmbSamplerate->currentText().toStdString(), format.Read("paraSampleRate", ""));
  EXPECT_EQ(ui().cmbAudioBitRate->currentText().toStdString(), format.Read("paraAudioBitRate", ""));
  EXPECT_EQ(ui().cmbVideoSize->currentText().toStdString(), format.Read("paraVideoSize", ""));
  EXPECT_EQ(StoredVolume(ui().cmbVolume->currentText().toStdString()), format.Read("paraVolume", ""));
}

TEST_F(Panel, StoredChoicesAreShownAndEachChoiceIsStoredByItsTable) {
  settings().writeString("settings", "FormatCode", "200");
  settings().writeString("settings", "FormatName", k3gpH263.toStdString());
  settings().writeString("formatInfo200", "paraVideoSize", "400x300");
  settings().writeString("formatInfo200", "paraZoom", "center");
  settings().writeInteger("formatInfo200", "iVolume", 5);
  Show();
  EXPECT_EQ(ui().cmbVideoSize->currentText(), "400x300");
  EXPECT_EQ(ui().cmbZoom->currentIndex(), -1);
  EXPECT_EQ(ui().cmbVolume->currentText(), "150%");
  EXPECT_TRUE(ui().cmbVideoSize->isEnabled());

  PickItem(ui().cmbVolume, 7);
  EXPECT_EQ(stored("iVolume"), "7");
  EXPECT_EQ(stored("paraVolume"), "512");
  PickItem(ui().cmbChannel, 1);
  EXPECT_EQ(stored("paraChannel"), "2");
  PickItem(ui().cmbAudioEncoder, 0);  // already chosen: nothing happens
  EXPECT_EQ(stored("paraAudioEncoder"), "<none>");
  PickItem(ui().cmbZoom, 1);
  EXPECT_EQ(stored("paraZoom"), "lbox");
  PickItem(ui().cmbFrameRate, 4);
  EXPECT_EQ(stored("paraFrameRate"), "25");
  EXPECT_EQ(stored("iFrameRate"), "4");
  EXPECT_TRUE(prompts.asked.isEmpty());
}

// Today's formats offer quality levels beside kbit/s values in the bit-rate
// field; the choice is stored for its format alone and shown again on return.
TEST_F(Panel, QualityLevelsAreOfferedStoredPerFormatAndShownAgain) {
  const QString phone = "Phone and Tablet H.264 HD 720p (*.mp4)";
  Show();
  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  PressRow(ui().lst1, "Phones and Tablets", 5);
  PressRow(ui().lst1, phone);
  ASSERT_EQ(ui().edt1->text(), phone);
  EXPECT_EQ(ui().cmbVideoBitRate->currentText(), "Quality 23");
  EXPECT_NE(ui().cmbVideoBitRate->findText("2500"), -1);
  EXPECT_EQ(ui().cmbFrameRate->currentText(), "as source");
  PickItem(ui().cmbVideoBitRate, 1);
  EXPECT_EQ(stored("paraVideoBitRate", 800), "Quality 20");

  Choose3gp();
  EXPECT_EQ(ui().cmbVideoBitRate->currentText(), "128");
  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  PressRow(ui().lst1, phone);
  EXPECT_EQ(ui().cmbVideoBitRate->currentText(), "Quality 20");
  EXPECT_EQ(stored("paraVideoBitRate", 801), "<none>");
  PickItem(ui().cmbVideoBitRate, 6);
  EXPECT_EQ(stored("paraVideoBitRate", 800), "2500");
  EXPECT_TRUE(prompts.asked.isEmpty());
}

TEST_F(Panel, TypedFieldsFilterKeysAndStoreEveryValidEdit) {
  settings().writeString("settings", "FormatCode", "200");
  Show();
  QComboBox* bitRate = ui().cmbVideoBitRate;
  Retype(bitRate, "300");
  EXPECT_EQ(stored("paraVideoBitRate"), "300");
  EXPECT_EQ(stored("iVideoBitRate"), "-1");
  EXPECT_TRUE(prompts.asked.isEmpty());
  QTest::keyClick(bitRate, Qt::Key_A);
  ASSERT_EQ(prompts.asked.size(), 1);
  EXPECT_EQ(prompts.asked[0].text, "Please enter numerical.");
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_EQ(bitRate->currentText(), "300");

  // Emptying the field reports, selects the second item and stores nothing.
  QTest::keyClick(bitRate, Qt::Key_Backspace);
  EXPECT_EQ(stored("paraVideoBitRate"), "30");  // every valid edit is stored
  Retype(bitRate, "");
  ASSERT_EQ(prompts.asked.size(), 2);
  EXPECT_EQ(prompts.asked[1].text, "Video BitRate is not a valid value!");
  EXPECT_EQ(prompts.asked[1].icon, PromptIcon::None);
  EXPECT_EQ(bitRate->currentText(), "96");
  EXPECT_EQ(stored("paraVideoBitRate"), "30");

  Retype(ui().cmbAudioBitRate, "12.2");  // "." is refused; a pasted real number is taken
  EXPECT_EQ(prompts.asked.back().text, "Please enter numerical.");
  EXPECT_EQ(stored("paraAudioBitRate"), "122");
  ui().cmbAudioBitRate->lineEdit()->setText("12.2");
  EXPECT_EQ(stored("paraAudioBitRate"), "12.2");
  ui().cmbSamplerate->lineEdit()->setText("12.2");
  EXPECT_EQ(prompts.asked.back().text, "Audio SampleRate is not a valid value!");
  EXPECT_EQ(stored("paraSampleRate"), "<none>");
}

TEST_F(Panel, LeavingTheFrameSizeChecksCorrectsAndStores) {
  settings().writeString("settings", "FormatCode", "200");
  Show();
  QComboBox* size = ui().cmbVideoSize;
  Retype(size, "321x2x41");  // the second "x" is refused with a beep only
  EXPECT_EQ(size->currentText(), "321x241");
  EXPECT_EQ(prompts.beeps, 1);
  EXPECT_TRUE(prompts.asked.isEmpty());
  EXPECT_EQ(stored("paraVideoSize"), "<none>");  // typing stores nothing yet
  ui().cmbVideoBitRate->setFocus();  // leaving the field
  ASSERT_FALSE(prompts.asked.isEmpty());
  EXPECT_EQ(prompts.asked.back().caption, "Input Error!");
  EXPECT_EQ(prompts.asked.back().text, "Frame Size must be a multiple of 2.\nThe correct value:320x240");
  EXPECT_EQ(size->currentText(), "320x240");
  EXPECT_EQ(stored("paraVideoSize"), "320x240");
  EXPECT_EQ(stored("iVideoSize"), "-1");

  Retype(size, "320");
  ui().cmbVideoBitRate->setFocus();
  EXPECT_EQ(prompts.asked.back().text, "Frame Size is not a valid value!");
  EXPECT_EQ(size->currentIndex(), 1);
  EXPECT_EQ(stored("paraVideoSize"), "320x240");

  ChooseFromList(size, 2);  // picking an item stores it at once
  EXPECT_EQ(stored("paraVideoSize"), "352x288");
  EXPECT_EQ(stored("iVideoSize"), "2");
}

// Default selects and stores the catalogue's choices; an audio format's
// disabled video group raises no messages.
TEST_F(Panel, DefaultStoresTheCatalogueChoices) {
  settings().writeString("settings", "FormatCode", "200");
  settings().writeString("formatInfo200", "paraVideoSize", "400x300");
  Show();
  QTest::mouseClick(ui().btnDefault, Qt::LeftButton);
  EXPECT_EQ(ui().cmbVideoSize->currentText(), "176x144");
  EXPECT_EQ(stored("paraVideoSize"), "176x144");
  EXPECT_EQ(stored("paraVideoEncoder"), "h263");
  EXPECT_EQ(stored("paraVideoBitRate"), "128");
  EXPECT_EQ(stored("paraZoom"), "full");
  EXPECT_EQ(stored("paraAudioEncoder"), "libfaac");
  EXPECT_EQ(stored("paraSampleRate"), "22050");
  EXPECT_EQ(stored("paraChannel"), "1");
  EXPECT_EQ(stored("paraVolume"), "256");
  EXPECT_TRUE(prompts.asked.isEmpty());

  QTest::mouseClick(ui().imgbtn1, Qt::LeftButton);
  PressRow(ui().lst1, "General Audio formates", 5);
  PressRow(ui().lst1, "MP3 MPEG Layer-3 Audio (*.mp3)");
  EXPECT_FALSE(ui().cmbVideoSize->isEnabled());
  QTest::mouseClick(ui().btnDefault, Qt::LeftButton);
  EXPECT_TRUE(prompts.asked.isEmpty()) << prompts.asked.value(0).text.toStdString();
  EXPECT_EQ(stored("paraAudioEncoder", 700), "libmp3lame");
  EXPECT_EQ(stored("paraVideoSize", 700), "<none>");
}

}  // namespace
