#include "platform/linux_services/privileged_shell_linux.h"

#include <unistd.h>

#include <QProcess>

namespace {

// pkexec's status when the user dismissed the authentication dialog.
constexpr int kDismissed = 126;

}  // namespace

LinuxPrivilegedShell::LinuxPrivilegedShell(std::string elevator) : elevator_(std::move(elevator)) {}

PrivilegedResult LinuxPrivilegedShell::run(const std::string& command) {
  QProcess process;
  // Without a terminal pkexec asks through the graphical agent instead of waiting on a terminal
  // prompt that nobody may see.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setChildProcessModifier([] { setsid(); });
  process.start(QString::fromStdString(elevator_), {"/bin/sh", "-c", QString::fromStdString(command)});
  if (!process.waitForStarted(-1)) {
    return {PrivilegedResult::Outcome::failed, "Couldn't ask for administrator rights: " + elevator_ +
                                                   " isn't available (" +
                                                   process.errorString().toStdString() + ")."};
  }
  process.waitForFinished(-1);
  if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return {};
  if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == kDismissed) {
    return {PrivilegedResult::Outcome::cancelled, std::nullopt};
  }
  QString message = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
  if (message.isEmpty()) return {PrivilegedResult::Outcome::failed, std::nullopt};
  return {PrivilegedResult::Outcome::failed, message.toStdString()};
}
