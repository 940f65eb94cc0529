#include "shell/application_shell.h"

#include <QCoreApplication>
#include <iostream>

#include "app/app_delegate.h"
#include "platform/linux/dbus_buses.h"
#include "prefs/app_identifier.h"
#include "shell/application_object.h"
#include "shell/termination_signals.h"
#include "shell/tray_module.h"

namespace ApplicationShell {

int serve(Platform& platform, Face* face) {
  auto quitNotifier = TerminationSignals::quitOnTermination();
  auto delegate = std::make_shared<AppDelegate>(platform);
  ApplicationObject applicationObject([weak = std::weak_ptr<AppDelegate>(delegate)](const auto& urls) {
    if (auto self = weak.lock()) self->openURLs(urls);
  });
  DBusBuses buses;
  if (auto bus = buses.session()) applicationObject.exportOn(*bus, kAppIdentifier);
  // A second copy leaves before it touches anything.
  if (platform.instances.isRunning(kAppIdentifier)) return 0;
  platform.desktop.install(QCoreApplication::applicationFilePath().toStdString());
  if (face) face->willLaunch(*delegate);
  delegate->applicationDidFinishLaunching();
  if (face) face->didLaunch(*delegate);
  // The name is taken only once the observers listen, because the tool takes its owner as ready to
  // hear notifications. A copy that lost the name to one started at the same moment leaves the logo
  // to it. Without a session bus there is nothing to claim and the application runs on its own.
  if (!platform.instances.claim(kAppIdentifier) && platform.instances.isRunning(kAppIdentifier)) return 0;
  // Headless there is no menu to show why the logo is left alone.
  if (auto reason = AppDelegate::unavailableReason(delegate->compatibility()); reason && !face)
    std::cerr << "halomark: " << *reason << "\n";
  int status = QCoreApplication::exec();
  delegate->applicationWillTerminate();
  return status;
}

int run(int& argc, char** argv, Platform& platform) {
  if (TrayModule::displayReachable()) {
    if (auto entry = TrayModule::load()) return entry(argc, argv, platform);
  }
  QCoreApplication application(argc, argv);
  return serve(platform, nullptr);
}

}  // namespace ApplicationShell
