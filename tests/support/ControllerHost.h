#pragma once

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

#include "engine/face/MediaEngine.h"
#include "frontend/IniFile.h"
#include "frontend/PlatformPaths.h"
#include "jobs/JobList.h"
#include "jobs/JobsController.h"
#include "support/ScriptedPrompts.h"
#include "support/TempHome.h"
#include "ui/QtDispatcher.h"
#include "ui/WindowContext.h"

// A plain window holding just the controls a feature controller works with,
// the job list's controller over it and an engine, without the main window:
// the feature controllers are tested on their own over this.
struct ControllerHost {
  ControllerHost() {
    host.resize(640, 480);
    auto* layout = new QVBoxLayout(&host);
    for (QWidget* widget : std::initializer_list<QWidget*>{list, pan1, trcPreview, lblTime, lblPTS})
      layout->addWidget(widget);
    pan1->setMinimumSize(320, 240);
    trcVolume->setRange(0, 128);
    trcVolume->setValue(64);
    engine.SetDispatcher(&dispatcher);
    jobs = std::make_unique<TJobsController>(
        list,
        JobListActions{btnAdd, btnRemove, btnClear, btnStart, actAdd, actRemove, actClear, actStart, popRemove,
                       popClear, actCheckAll, actUncheckAll, actReverseCheck, actCheck, actUncheck},
        engine, context, nullptr);
    jobs->Jobs().BuildColumns(TJobList::Layout::Files);
  }

  IniFile Settings() const { return IniFile(home.settingsPath().toStdString()); }

  TempHome home;
  ScriptedPrompts prompts;
  QtDispatcher dispatcher;
  TMediaEngine engine;
  QWidget host;
  QTreeWidget* list = new QTreeWidget(&host);
  QFrame* pan1 = new QFrame(&host);
  QSlider* trcPreview = new QSlider(Qt::Horizontal, &host);
  QLabel* lblTime = new QLabel(&host);
  QLabel* lblPTS = new QLabel(&host);
  QToolButton *imgbtnPlay = new QToolButton(&host), *imgbtnPAuse = new QToolButton(&host),
              *imgbtnStop = new QToolButton(&host), *imgbtnSnap = new QToolButton(&host);
  QCheckBox* ckMute = new QCheckBox(&host);
  QSlider* trcVolume = new QSlider(&host);
  QPlainTextEdit* mmoLog = new QPlainTextEdit(&host);
  QPushButton *btnAdd = new QPushButton(&host), *btnRemove = new QPushButton(&host),
              *btnClear = new QPushButton(&host), *btnStart = new QPushButton(&host),
              *btnPause = new QPushButton(&host), *btnResume = new QPushButton(&host),
              *btnStop = new QPushButton(&host), *BtnAddDVD = new QPushButton(&host),
              *btnDVDStart = new QPushButton(&host), *btnStartBelow = new QPushButton(&host);
  QAction *actAdd = new QAction(&host), *actRemove = new QAction(&host), *actClear = new QAction(&host),
          *actStart = new QAction(&host), *popStart = new QAction(&host), *popRemove = new QAction(&host),
          *popClear = new QAction(&host), *actCheckAll = new QAction(&host), *actUncheckAll = new QAction(&host),
          *actReverseCheck = new QAction(&host), *actCheck = new QAction(&host), *actUncheck = new QAction(&host),
          *actAddDvdFolder = new QAction(&host);
  QMenu* pmAddDVD = new QMenu(&host);
  QMenu* mnuAddDvdDriver = pmAddDVD->addMenu(QStringLiteral("Drives"));
  QGroupBox* grpDvd = new QGroupBox(&host);
  QComboBox *cmbAudioLanguage = new QComboBox(&host), *cmbSubtitle = new QComboBox(&host);
  QLineEdit *edtFrom = new QLineEdit(&host), *edtTo = new QLineEdit(&host);
  QToolButton *btnFromUp = new QToolButton(&host), *btnFromDown = new QToolButton(&host),
              *btnToUp = new QToolButton(&host), *btnToDown = new QToolButton(&host);
  WindowContext context{&host, [this] { return Settings(); },
                        [] { return IniFile(platform_paths::CatalogueFilePath()); }};
  std::unique_ptr<TJobsController> jobs;
};
