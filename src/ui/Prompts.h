#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptIcon { None, Information, Question, Warning, Error };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct PromptMessage {
  QString caption;
  QString text;
  PromptButtons buttons = PromptButtons::Ok;
  PromptIcon icon = PromptIcon::None;
};

// One entry of an open dialog's file type list: its description as shown and
// its patterns separated by ";" ("*.avi;*.mp4").
struct FileFilter {
  QString description;
  QString patterns;
};

// An open dialog for existing files; several may be chosen.
struct OpenFilesRequest {
  QString caption;
  QList<FileFilter> filters;
};

// Every message box of the program goes through this interface, so that tests
// can answer the questions and see what was asked. UI thread only.
class Prompts {
 public:
  virtual ~Prompts() = default;
  // Shows the message modally over parent and returns the button pressed.
  virtual PromptAnswer ask(QWidget* parent, const PromptMessage& message) = 0;
  // Shows the open dialog modally; the chosen files in the order the dialog
  // gives them, empty when cancelled.
  virtual QStringList openFiles(QWidget* parent, const OpenFilesRequest& request) = 0;
  // The alert beep that accompanies a refused key press.
  virtual void beep() = 0;
  // Shows the folder chooser modally over parent; the chosen folder, empty
  // when cancelled.
  virtual QString chooseFolder(QWidget* parent) = 0;
  // Shows the DVD chooser modally over parent: a folder holding VIDEO_TS, a
  // VIDEO_TS folder or an .iso image. The path to open (see DvdSourcePath),
  // empty when cancelled.
  virtual QString chooseDvd(QWidget* parent) = 0;
};

// The prompts in use: the Qt message boxes unless a test installed others.
Prompts& prompts();
// Installs replacement prompts (not owned); nullptr restores the Qt ones.
void setPrompts(Prompts* replacement);
