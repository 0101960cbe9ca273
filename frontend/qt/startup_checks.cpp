// The fatal-message handler and the display check run before the application object exists.
#include "frontend/qt/startup_checks.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace krelmo::qt {

namespace {

struct HeldMessage {
  QtMsgType type;
  QByteArray category;
  QString text;
};

QtMessageHandler previousHandler = nullptr;
bool startingUp = true;
// The platform plugin's own complaint usually names the cause better than the fatal
// message that follows it.
QString lastPlatformComplaint;
std::vector<HeldMessage> held;

void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (previousHandler) {
    previousHandler(type, context, message);
  } else {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
}

bool IsSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

void HandleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const QString firstLine = message.section(QLatin1Char('\n'), 0, 0).trimmed();
  if (type == QtFatalMsg) {
    if (!startingUp) {
      std::fprintf(stderr, "krelmo99: fatal error: %s\n", qPrintable(firstLine));
      std::fflush(stderr);
      std::_Exit(1);
    }
    ExitWithWindowError(
        (lastPlatformComplaint.isEmpty() ? firstLine : lastPlatformComplaint).toStdString());
  }
  const QByteArray category(context.category ? context.category : "");
  if (startingUp && category.startsWith("qt.qpa")) {
    if (type == QtWarningMsg || type == QtCriticalMsg) lastPlatformComplaint = firstLine;
    held.push_back({type, category, message});
    return;
  }
  PassOn(type, context, message);
}

}  // namespace

void InstallFatalErrorHandler() {
  previousHandler = qInstallMessageHandler(HandleMessage);
}

void StartupFinished() {
  startingUp = false;
  for (const HeldMessage& message : held) {
    const QMessageLogContext context(nullptr, 0, nullptr, message.category.constData());
    PassOn(message.type, context, message.text);
  }
  held.clear();
}

std::optional<std::string> MissingDisplayReason() {
#ifdef Q_OS_LINUX
  if (IsSet("QT_QPA_PLATFORM")) return std::nullopt;
  if (!IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY")) {
    return "no display to open it on (neither DISPLAY nor WAYLAND_DISPLAY is set)";
  }
#endif
  return std::nullopt;
}

void ExitWithWindowError(const std::string& reason) {
  std::fprintf(stderr, "krelmo99: cannot open the game window: %s\n", reason.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace krelmo::qt
