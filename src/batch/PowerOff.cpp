#include "batch/PowerOff.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include "ui/Prompts.h"

namespace {

// org.freedesktop.login1.Manager.PowerOff, not interactive: nobody may be at
// the computer when a batch ends, so no authentication dialog is waited for.
class LogindPowerControl : public PowerControl {
 public:
  QString PowerOff() override {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return QStringLiteral("The system bus is not available.");
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kTimeoutMs);
    return reply.type() == QDBusMessage::ErrorMessage ? reply.errorMessage() : QString();
  }

 private:
  static constexpr int kTimeoutMs = 10000;
};

PowerControl* replacementControl = nullptr;  // UI thread only

}  // namespace

PowerControl& powerControl() {
  static LogindPowerControl logind;
  return replacementControl ? *replacementControl : logind;
}

void setPowerControl(PowerControl* replacement) { replacementControl = replacement; }

void ShutDownComputer(QWidget* parent) {
  const QString error = powerControl().PowerOff();
  if (error.isEmpty()) return;
  PromptMessage message;
  message.caption = QStringLiteral("Warning");
  message.text = QStringLiteral("The computer could not be shut down: ") + error;
  message.icon = PromptIcon::Warning;
  prompts().ask(parent, message);
}
