#include "platform/linux/application_linux.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <iostream>

#include "app/app_delegate.h"
#include "platform/linux/application_object_linux.h"
#include "platform/linux/dbus_buses.h"
#include "platform/linux/tray_module.h"
#include "prefs/app_identifier.h"

namespace {

int quitPipe[2] = {-1, -1};

void requestQuit(int) {
  char byte = 1;
  [[maybe_unused]] auto written = ::write(quitPipe[1], &byte, 1);
}

// Signals only write to a pipe; the main loop reads it and quits, so termination runs on the main
// thread like any other quit.
std::unique_ptr<QSocketNotifier> quitOnTerminationSignals() {
  if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
  auto notifier = std::make_unique<QSocketNotifier>(quitPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [] {
    std::array<char, 16> drained{};
    while (::read(quitPipe[0], drained.data(), drained.size()) > 0) {
    }
    QCoreApplication::quit();
  });
  struct sigaction action {};
  action.sa_handler = requestQuit;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  return notifier;
}

}  // namespace

namespace LinuxApplication {

int serve(Platform& platform, Face* face) {
  auto quitNotifier = quitOnTerminationSignals();
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

}  // namespace LinuxApplication
