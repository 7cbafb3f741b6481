#pragma once

#include <QString>

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

// Every message box of the program goes through this interface, so that tests
// can answer the questions and see what was asked. UI thread only.
class Prompts {
 public:
  virtual ~Prompts() = default;
  // Shows the message modally over parent and returns the button pressed.
  virtual PromptAnswer ask(QWidget* parent, const PromptMessage& message) = 0;
  // The alert beep that accompanies a refused key press.
  virtual void beep() = 0;
};

// The prompts in use: the Qt message boxes unless a test installed others.
Prompts& prompts();
// Installs replacement prompts (not owned); nullptr restores the Qt ones.
void setPrompts(Prompts* replacement);
