#pragma once

#include <QList>

#include <deque>

#include "ui/Prompts.h"

// Prompts for tests and tools: records every message and answers from a script
// (or with the default answer once the script is used up). Installs itself for
// its lifetime.
class ScriptedPrompts : public Prompts {
 public:
  ScriptedPrompts() { setPrompts(this); }
  ~ScriptedPrompts() override { setPrompts(nullptr); }

  void queueAnswer(PromptAnswer answer) { script_.push_back(answer); }
  void setDefaultAnswer(PromptAnswer answer) { defaultAnswer_ = answer; }

  PromptAnswer ask(QWidget*, const PromptMessage& message) override {
    asked.append(message);
    if (script_.empty()) return defaultAnswer_;
    const auto answer = script_.front();
    script_.pop_front();
    return answer;
  }
  void beep() override { ++beeps; }

  // The next open dialog chooses these files; without a queued answer it is cancelled.
  void queueFiles(const QStringList& files) { files_.push_back(files); }
  QStringList openFiles(QWidget*, const OpenFilesRequest& request) override {
    openRequests.append(request);
    if (files_.empty()) return {};
    const QStringList files = files_.front();
    files_.pop_front();
    return files;
  }

  // The next folder chooser returns this folder; without one it is cancelled.
  void queueFolder(const QString& folder) { folders_.push_back(folder); }
  QString chooseFolder(QWidget*) override {
    ++folderRequests;
    if (folders_.empty()) return {};
    const QString folder = folders_.front();
    folders_.pop_front();
    return folder;
  }

  // The next DVD chooser returns this path; without one it is cancelled.
  void queueDvd(const QString& path) { dvds_.push_back(path); }
  QString chooseDvd(QWidget*) override {
    ++dvdRequests;
    if (dvds_.empty()) return {};
    const QString path = dvds_.front();
    dvds_.pop_front();
    return path;
  }

  QList<PromptMessage> asked;
  QList<OpenFilesRequest> openRequests;
  int beeps = 0;
  int folderRequests = 0;
  int dvdRequests = 0;

 private:
  std::deque<PromptAnswer> script_;
  std::deque<QStringList> files_;
  std::deque<QString> folders_;
  std::deque<QString> dvds_;
  PromptAnswer defaultAnswer_ = PromptAnswer::Ok;
};
