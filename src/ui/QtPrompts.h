#pragma once

#include "ui/Prompts.h"

// Prompts shown as Qt message boxes.
class QtPrompts : public Prompts {
 public:
  PromptAnswer ask(QWidget* parent, const PromptMessage& message) override;
  QStringList openFiles(QWidget* parent, const OpenFilesRequest& request) override;
  void beep() override;
  // The one folder chooser of the program, created on first use and kept.
  QString chooseFolder(QWidget* parent) override;
  QString chooseDvd(QWidget* parent) override;
};
