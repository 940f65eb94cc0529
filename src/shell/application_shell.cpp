#include "shell/application_shell.h"

#include <QCoreApplication>
#include <iostream>
#include <memory>

#include "app/app_delegate.h"
#include "app/published_state.h"
#include "formats/app_identifier.h"
#include "platform/linux_services/session_end_watch_linux.h"
#include "platform/linux_utilities/dbus_buses.h"
#include "platform/linux_utilities/termination_signals.h"
#include "shell/application_object.h"
#include "shell/desktop_doors.h"
#include "shell/tray_module.h"

namespace ApplicationShell {

namespace {

// Launches the delegate and runs the event loop of the Qt application object already made; `face`
// is null when headless.
int serve(Platform& platform, Face* face) {
  auto quitNotifier = TerminationSignals::watch([] { QCoreApplication::quit(); });
  // A second copy, with or without a session bus, leaves before it touches anything.
  if (!platform.instances.claim(kAppIdentifier)) return 0;
  auto delegate = std::make_shared<AppDelegate>(platform);
  ApplicationObject applicationObject([weak = std::weak_ptr<AppDelegate>(delegate)](const auto& urls) {
    if (auto self = weak.lock()) self->openURLs(urls);
  });
  DBusBuses buses;
  if (auto bus = buses.session()) applicationObject.exportOn(*bus, kAppIdentifier);
  DesktopDoors doors(platform, delegate->commands(), buses.session());
  platform.desktop.install(QCoreApplication::applicationFilePath().toStdString());
  // The updater starts first: it only arms its schedule, so the delegate's launch order is kept.
  doors.updates().start();
  // Every apply, check and signal request ends here; the object announces only real changes.
  delegate->setStateListener([&applicationObject, weak = std::weak_ptr<AppDelegate>(delegate)] {
    if (auto self = weak.lock()) applicationObject.publish(PublishedState::of(*self));
  });
  if (face) face->willLaunch({platform, *delegate, doors.updates()});
  delegate->applicationDidFinishLaunching();
  if (face) face->didLaunch();
  // A machine whose logo cannot be controlled never applies, and publishes its state here.
  applicationObject.publish(PublishedState::of(*delegate));
  doors.open(applicationObject);
  // Announced only once the observers listen, because the tool takes an announced instance as
  // ready to hear it.
  platform.instances.announce(kAppIdentifier);
  // An application whose session ended under it quits the normal way instead of living on unseen.
  SessionEndWatch sessionEnd(buses, [] { QCoreApplication::quit(); });
  sessionEnd.start();
  // Headless there is no menu to show why the logo is left alone.
  if (auto reason = AppDelegate::unavailableReason(delegate->compatibility()); reason && !face)
    std::cerr << "halomark: " << *reason << "\n";
  int status = QCoreApplication::exec();
  delegate->applicationWillTerminate();
  delegate->setStateListener({});
  return status;
}

}  // namespace

int run(int& argc, char** argv, Platform& platform) {
  if (TrayModule::displayReachable()) {
    if (auto entry = TrayModule::load()) {
      std::unique_ptr<Face> face(entry(argc, argv));
      return serve(platform, face.get());
    }
  }
  QCoreApplication application(argc, argv);
  return serve(platform, nullptr);
}

}  // namespace ApplicationShell
