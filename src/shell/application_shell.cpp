#include "shell/application_shell.h"

#include <QApplication>
#include <iostream>
#include <memory>
#include <optional>

#include "app/app_delegate.h"
#include "platform/linux/dbus_buses.h"
#include "prefs/app_identifier.h"
#include "shell/application_object.h"
#include "shell/desktop_interface.h"
#include "shell/desktop_session.h"
#include "shell/termination_signals.h"

namespace ApplicationShell {

int run(int& argc, char** argv, Platform& platform) {
  // Without a display the application runs headless with the same launch, timers and observers.
  bool desktop = DesktopSession::available();
  std::unique_ptr<QCoreApplication> application =
      desktop ? std::make_unique<QApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
  auto quitNotifier = TerminationSignals::quitOnTermination();
  auto delegate = std::make_shared<AppDelegate>(platform);
  std::optional<DesktopInterface> interface;
  ApplicationObject applicationObject([weak = std::weak_ptr<AppDelegate>(delegate)](const auto& urls) {
    if (auto self = weak.lock()) self->openURLs(urls);
  });
  DBusBuses buses;
  if (auto bus = buses.session()) applicationObject.exportOn(*bus, kAppIdentifier);
  // A second copy leaves before it touches anything.
  if (platform.instances.isRunning(kAppIdentifier)) return 0;
  platform.desktop.install(QCoreApplication::applicationFilePath().toStdString());
  if (desktop) interface.emplace(*delegate, platform);
  delegate->applicationDidFinishLaunching();
  // The name is taken only once the observers listen, because the tool takes its owner as ready to
  // hear notifications. A copy that lost the name to one started at the same moment leaves the logo
  // to it. Without a session bus there is nothing to claim and the application runs on its own.
  if (!platform.instances.claim(kAppIdentifier) && platform.instances.isRunning(kAppIdentifier)) return 0;
  // Headless there is no menu to show why the logo is left alone.
  if (auto reason = AppDelegate::unavailableReason(delegate->compatibility()))
    std::cerr << "halomark: " << *reason << "\n";
  int status = QCoreApplication::exec();
  delegate->applicationWillTerminate();
  return status;
}

}  // namespace ApplicationShell
