#include "shell/application_shell.h"

#include <QCoreApplication>
#include <iostream>

#include "app/app_delegate.h"
#include "platform/linux/dbus_buses.h"
#include "platform/linux/session_end_watch_linux.h"
#include "prefs/app_identifier.h"
#include "shell/application_object.h"
#include "shell/termination_signals.h"

namespace ApplicationShell {

int run(int& argc, char** argv, Platform& platform) {
  // No status item: the application runs headless with the same launch, timers and observers.
  QCoreApplication application(argc, argv);
  auto quitNotifier = TerminationSignals::quitOnTermination();
  // A second copy, with or without a session bus, leaves before it touches anything.
  if (!platform.instances.claim(kAppIdentifier)) return 0;
  auto delegate = std::make_shared<AppDelegate>(platform);
  ApplicationObject applicationObject([weak = std::weak_ptr<AppDelegate>(delegate)](const auto& urls) {
    if (auto self = weak.lock()) self->openURLs(urls);
  });
  DBusBuses buses;
  if (auto bus = buses.session()) applicationObject.exportOn(*bus, kAppIdentifier);
  platform.desktop.install(QCoreApplication::applicationFilePath().toStdString());
  delegate->applicationDidFinishLaunching();
  // Announced only once the observers listen, because the tool takes an announced instance as
  // ready to hear it.
  platform.instances.announce(kAppIdentifier);
  // An application whose session ended under it quits the normal way instead of living on unseen.
  SessionEndWatch sessionEnd(buses, [] { QCoreApplication::quit(); });
  sessionEnd.start();
  // Headless there is no menu to show why the logo is left alone.
  if (auto reason = AppDelegate::unavailableReason(delegate->compatibility()))
    std::cerr << "halomark: " << *reason << "\n";
  int status = QCoreApplication::exec();
  delegate->applicationWillTerminate();
  return status;
}

}  // namespace ApplicationShell
