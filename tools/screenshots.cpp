// Shows the main window on the current display (Xvfb in scripts/screenshot) and
// writes PNG pictures of it, of each menu opened, of the About, preferences and
// folder chooser dialogs, of the open format picker and of the settings dialog,
// of the job list and of the progress window in mid-conversion, and of the
// player playing a clip and a sound, and the engine's preview window; of the
// "Add DVD" menu, the DVD chooser, the titles of the test DVD in the list and
// one of them in the preview pane, the trim, crop and effects editors and
// the file information window; of a phone clip stored sideways in the preview
// pane and the crop and effects editors.
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QToolButton>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QThread>
#include <QTimer>

#include <array>
#include <cstdio>

#include "app/Application.h"
#include "app/MainWindow.h"
#include "batch/BatchController.h"
#include "batch/ProgressWindow.h"
#include "editing/CropWindow.h"
#include "editing/WaterMarkWindow.h"
#include "engine/face/MediaEngine.h"
#include "jobs/JobList.h"
#include "MediaWriter.h"
#include "preview/PlayerWindow.h"
#include "preview/PreviewerWindow.h"
#include "settings/SettingsDialog.h"
#include "support/ScriptedPrompts.h"
#include "TestDvd.h"
#include "TestMedia.h"
#include "ui/DvdChooser.h"
#include "ui/FolderChooser.h"

namespace {

void settle(int milliseconds = 300) {
  for (int i = 0; i < milliseconds / 10; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
}

bool saveScreen(const QString& folder, const QString& name) {
  const QString path = folder + "/" + name + ".png";
  const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
  return ok;
}

// A 4:3 landscape standing in for a converted frame.
QImage landscape() {
  QImage frame(400, 300, QImage::Format_RGB32);
  QPainter painter(&frame);
  QLinearGradient sky(0, 0, 0, 180);
  sky.setColorAt(0, QColor(0x3A, 0x7B, 0xD5));
  sky.setColorAt(1, QColor(0xC8, 0xE0, 0xF8));
  painter.fillRect(0, 0, 400, 180, sky);
  painter.fillRect(0, 180, 400, 120, QColor(0x4E, 0x8F, 0x3A));
  painter.setBrush(QColor(0xFF, 0xD8, 0x40));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPoint(300, 70), 36, 36);
  return frame;
}

// The player in mid-play of a clip and of a sound without pictures, and the
// engine's preview window showing the clip's frame.
bool savePlayerWindows(const QString& folder) {
  TPlayerWindow window(TAudioDriver::adDummy);
  window.move(40, 40);
  window.resize(520, 420);
  window.show();
  bool ok = window.Play(test_media::Path(test_media::Kind::Clip320));
  settle(1200);
  ok = saveScreen(folder, "player-window") && ok;
  const TBitmap24 frame = window.Player().CurrentFrame();
  auto preview = QtPreviewWindowFactory()([] {});
  if (frame.Width > 0) preview->ShowFrame(frame, "00:00:01.200");
  settle(400);
  ok = frame.Width > 0 && saveScreen(folder, "engine-preview") && ok;
  preview.reset();
  ok = window.Play(test_media::Path(test_media::Kind::AudioOnlyM4a)) && ok;
  settle(800);
  return saveScreen(folder, "player-audio") && ok;
}

// The progress window over the main window, as during the second of three
// jobs, with the estimates fed for long enough to show.
bool saveProgressWindow(TfrmMain& window, const QString& folder) {
  TMediaEngine engine;  // no tasks: showing starts an empty batch
  window.Batch().SetConversionPreview(std::make_unique<QImage>(landscape()));
  TfrmProgress progress(engine, [&] { return window.Batch().ConversionPreview(); }, [&] { return window.Settings(); },
                        &window);
  progress.SetTaskDurations({95'000'000, 95'000'000, 60'000'000});
  progress.show();
  progress.SetTimeText("12 Second");
  progress.SetLengthText("95 Second");
  progress.SetSizeText("1530 kb");
  progress.SetProgressText("[2/3]");
  progress.SetOutputText("/home/user/Videos/Holiday on the beach, summ..avi");
  progress.SetBarPosition(13);
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 3500) {
    progress.RecordProgress(1, 12'000'000 + clock.elapsed() * 2000, 95'000'000);
    settle(100);
  }
  const bool ok = saveScreen(folder, "progress-window");
  progress.close();
  window.Batch().SetConversionPreview(std::make_unique<QImage>());
  return ok;
}

// Three generated clips in the job list, then the real batch: the progress
// window is taken while the second job converts.
bool saveJobListAndBatch(TfrmMain& window, const QString& folder, const QString& home) {
  const QString clip = QString::fromStdString(test_media::Path(test_media::Kind::Clip320));
  QStringList files;
  for (const char* name : {"Holiday on the beach.mp4", "Birthday party - living room.mp4", "Garden.mp4"}) {
    files << home + "/" + name;
    QFile::copy(clip, files.back());
  }
  window.AddFiles(files);
  settle();
  bool ok = saveScreen(folder, "job-list");
  bool taken = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* progress = qobject_cast<TfrmProgress*>(QApplication::activeModalWidget());
    if (taken || !progress || progress->controls().lblProgress->text() != "[2/3]") return;
    taken = true;
    progress->btnPauseClick();
    settle(400);
    ok = saveScreen(folder, "progress-window-converting") && ok;
    progress->btnResumeClick();
  });
  poll.start(20);
  window.Engine().SetProgressInterval(100);  // reports often enough to catch the short clips mid-way
  window.menus().actStart->trigger();
  settle();
  return ok && taken && saveScreen(folder, "job-list-converted");
}

// The "Add DVD" menu, the chooser showing the test DVD's folder, and the
// titles of that DVD in the job list with the second title selected.
bool saveDvdTitles(TfrmMain& window, ScriptedPrompts& prompts, const QString& folder) {
  const QString disc = QString::fromStdString(test_dvd::Path(test_dvd::Disc::Folder));
  window.controls().BtnAddDVD->click();
  settle();
  bool ok = saveScreen(folder, "add-dvd-menu");
  window.menus().pmAddDVD->close();
  {
    TDvdChooser chooser(&window, QFileInfo(disc).absolutePath());
    chooser.selectFile(disc);
    chooser.show();
    settle();
    ok = saveScreen(folder, "dvd-chooser") && ok;
  }
  prompts.queueDvd(disc);
  window.menus().actAddDvdFolder->trigger();
  if (window.Jobs().Count() > 1) window.Jobs().Select(1);
  settle();
  ok = saveScreen(folder, "dvd-titles") && window.Jobs().Count() == 3 && ok;
  // The selected title playing in the preview pane, paused on a picture.
  window.controls().imgbtnPlay->click();
  settle(1200);
  window.controls().imgbtnPAuse->click();
  settle();
  ok = saveScreen(folder, "preview-pane") && ok;
  window.controls().imgbtnStop->click();
  // The trim editor on that title, a second into playing it.
  QTimer::singleShot(1500, [&] {
    ok = saveScreen(folder, "trim-editor") && ok;
    if (QWidget* trim = QApplication::activeModalWidget()) trim->close();
  });
  window.menus().actTrim->setEnabled(true);  // as the Edit menu enables it with a job selected
  window.menus().actTrim->trigger();
  return ok;
}

// A structure-protected disc's titles: the fakes listed but unchecked, the
// main feature selected with its streams and chapters shown.
bool saveProtectedDisc(TfrmMain& window, ScriptedPrompts& prompts, const QString& folder) {
  prompts.queueDvd(QString::fromStdString(test_dvd::Path(test_dvd::Disc::Protected)));
  window.menus().actAddDvdFolder->trigger();
  settle();
  return saveScreen(folder, "dvd-protected-titles") && window.Jobs().Count() == 16;
}

// Triggers an editor's Edit-menu entry; `shoot` runs once the dialog has
// played for a while, then the dialog closes.
bool shootEditor(QAction* entry, const std::function<bool(QWidget*)>& shoot) {
  bool ok = false;
  QTimer::singleShot(1500, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    ok = dialog && shoot(dialog);
    if (dialog) dialog->close();
  });
  entry->setEnabled(true);  // as the Edit menu enables it with a job selected
  entry->trigger();
  return ok;
}

// The crop editor with a rectangle inside the picture, the effects dialog
// with a text watermark and lower brightness, and the file information of a title.
bool saveEditors(TfrmMain& window, const QString& folder) {
  bool ok = shootEditor(window.menus().actCrop, [&](QWidget* dialog) {
    auto* crop = static_cast<TfrmCrop*>(dialog);
    crop->controls().spnUp->setValue(24);
    crop->controls().spnLeft->setValue(30);
    crop->controls().spnDown->setValue(18);
    settle();
    return saveScreen(folder, "crop-editor");
  });
  ok = shootEditor(window.menus().actEffects, [&](QWidget* dialog) {
    auto* effects = static_cast<TfrmWaterMark*>(dialog);
    effects->controls().edtFont->setText(QStringLiteral("Oxbel"));
    effects->controls().cmbFontSize->setCurrentText(QStringLiteral("28"));
    effects->controls().cmbFontColor->setCurrentIndex(effects->controls().cmbFontColor->count() - 1);
    effects->controls().trcTextHoriz->setValue(10);
    effects->controls().trcTextVert->setValue(10);
    effects->controls().trcBrightness->setValue(200);
    settle(800);
    bool shot = saveScreen(folder, "effects-editor");
    effects->findChild<QTabWidget*>()->setCurrentIndex(2);
    settle(600);
    return saveScreen(folder, "effects-editor-colours") && shot;
  }) && ok;
  QTimer::singleShot(800, [&] {
    ok = saveScreen(folder, "file-information") && ok;
    if (QWidget* info = QApplication::activeModalWidget()) info->close();
  });
  window.menus().actFileInfo->setEnabled(true);
  window.menus().actFileInfo->trigger();
  // "Auto" on a letterboxed clip.
  window.Jobs().Clear();
  window.AddFiles({QString::fromStdString(test_media::Path(test_media::Kind::Letterboxed))});
  window.Jobs().Select(0);
  return shootEditor(window.menus().actCrop, [&](QWidget* dialog) {
    auto* crop = static_cast<TfrmCrop*>(dialog);
    crop->controls().btnAuto->click();
    for (int i = 0; i < 100 && !crop->controls().btnAuto->isEnabled(); ++i) settle(50);
    settle();
    return saveScreen(folder, "crop-editor-auto");
  }) && ok;
}

// A phone clip stored sideways (a quarter turn in its display matrix, the
// white block in its stored top left corner): the preview pane, the crop
// editor and the effects editor show it upright, the block at the top right.
bool saveTurnedClip(TfrmMain& window, const QString& folder, const QString& work) {
  const std::string clip = (work + "/phone clip.mp4").toStdString();
  test_media::WriteMedia({.muxer = "mp4",
                          .video = test_media::VideoSpec{.encoder = "mpeg4", .width = 320, .height = 180,
                                                         .cornerMarker = true,
                                                         .displayMatrix = std::array<std::int32_t, 9>{
                                                             0, 1 << 16, 0, -(1 << 16), 0, 0, 0, 0, 1 << 30}},
                          .seconds = 4},
                         clip);
  window.Jobs().Clear();
  window.AddFiles({QString::fromStdString(clip)});
  window.Jobs().Select(0);
  window.controls().imgbtnPlay->click();
  settle(1000);
  window.controls().imgbtnPAuse->click();
  settle();
  bool ok = saveScreen(folder, "turned-preview-pane");
  window.controls().imgbtnStop->click();
  ok = shootEditor(window.menus().actCrop, [&](QWidget* dialog) {
    auto* crop = static_cast<TfrmCrop*>(dialog);
    crop->controls().spnDown->setValue(40);
    settle();
    return saveScreen(folder, "turned-crop-editor");
  }) && ok;
  return shootEditor(window.menus().actEffects, [&](QWidget* dialog) {
    auto* effects = static_cast<TfrmWaterMark*>(dialog);
    effects->controls().edtFont->setText(QStringLiteral("Oxbel"));
    effects->controls().cmbFontColor->setCurrentIndex(effects->controls().cmbFontColor->count() - 1);
    effects->controls().trcTextHoriz->setValue(10);
    effects->controls().trcTextVert->setValue(20);
    settle(800);
    return saveScreen(folder, "turned-effects-editor");
  }) && ok;
}

// A left-button press on a picker row, near its left edge for a group.
void pressRow(QListWidget* list, const QString& text, int x) {
  const QList<QListWidgetItem*> rows = list->findItems(text, Qt::MatchExactly);
  if (rows.isEmpty()) return;
  const QPoint at(x, list->visualItemRect(rows[0]).center().y());
  QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
  QApplication::sendEvent(list->viewport(), &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, {}, {});
  QApplication::sendEvent(list->viewport(), &release);
}

// The main window's picker open with a group expanded, then the settings
// dialog with its own picker open.
bool savePickerAndSettings(TfrmMain& window, const QString& folder) {
  window.controls().imgbtn1->click();
  pressRow(window.controls().lst1, "Mobile Phone", 5);
  settle();
  bool ok = saveScreen(folder, "format-picker");
  // The groups for today's devices: two of them open, then the panel of one of
  // their formats with its quality levels.
  pressRow(window.controls().lst1, "Mobile Phone", 5);
  pressRow(window.controls().lst1, "Phones and Tablets", 5);
  pressRow(window.controls().lst1, "Archive", 5);
  settle();
  ok = saveScreen(folder, "format-picker-current-groups") && ok;
  pressRow(window.controls().lst1, "Phone and Tablet HEVC Full HD 1080p (*.mp4)", 40);
  settle();
  ok = saveScreen(folder, "format-panel-quality") && ok;
  window.controls().lst1->hide();
  QTimer::singleShot(400, [&] {
    auto* dialog = qobject_cast<TfrmSettings*>(QApplication::activeModalWidget());
    if (!dialog) return;
    ok = saveScreen(folder, "settings-dialog") && ok;
    dialog->controls().imgbtn1->click();
    pressRow(dialog->controls().lst1, "General Video formates", 5);
    settle();
    ok = saveScreen(folder, "settings-dialog-picker") && ok;
    dialog->reject();
  });
  window.menus().actOutputSettings->trigger();
  return ok;
}

// Tools › Preference as it opens, then the folder chooser its "&Brows" shows.
bool savePreferenceDialogs(TfrmMain& window, const QString& folder) {
  bool ok = true;
  QTimer::singleShot(400, [&] {
    ok = saveScreen(folder, "preference") && ok;
    if (QWidget* preference = QApplication::activeModalWidget()) {
      TfmDirectory chooser(preference);
      chooser.show();
      settle(800);
      ok = saveScreen(folder, "folder-chooser") && ok;
      chooser.close();
      preference->close();
    }
  });
  window.menus().actPreference->trigger();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
    return 2;
  }
  QTemporaryDir settingsHome;  // fresh settings and output folder, so the pictures show the defaults
  qputenv("XDG_CONFIG_HOME", settingsHome.path().toUtf8());
  qputenv("HOME", settingsHome.path().toUtf8());
  OxbelApplication application(argc, argv);
  const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(folder);
  ScriptedPrompts prompts;

  TfrmMain window;
  window.move(10, 10);
  window.show();
  settle();
  bool ok = saveScreen(folder, "main-window");

  const QList<QAction*> menus = window.menuBar()->actions();
  for (QAction* action : menus) {
    if (!action->menu()) continue;
    window.menuBar()->setActiveAction(action);
    settle();
    if (action->menu()->objectName() == "mnuTools") {
      action->menu()->setActiveAction(window.menus().mnuSkin->menuAction());
      settle();
    }
    ok = saveScreen(folder, "menu-" + action->menu()->objectName().mid(3).toLower()) && ok;
    action->menu()->close();
    window.menus().mnuSkin->close();
    settle(100);
  }

  QTimer::singleShot(400, [&] {
    ok = saveScreen(folder, "about") && ok;
    if (QWidget* about = QApplication::activeModalWidget()) about->close();
  });
  window.menus().actAbout->trigger();
  ok = savePickerAndSettings(window, folder) && ok;
  ok = savePreferenceDialogs(window, folder) && ok;
  ok = saveProgressWindow(window, folder) && ok;
  ok = saveJobListAndBatch(window, folder, settingsHome.path()) && ok;
  ok = saveDvdTitles(window, prompts, folder) && ok;
  ok = saveEditors(window, folder) && ok;
  ok = saveTurnedClip(window, folder, settingsHome.path()) && ok;
  ok = saveProtectedDisc(window, prompts, folder) && ok;
  window.hide();  // the player windows stand on their own
  ok = savePlayerWindows(folder) && ok;

  window.SetSkipExitConfirmation(true);
  window.close();
  return ok ? 0 : 1;
}
