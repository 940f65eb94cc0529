#include "platform/linux/headless_application.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <iostream>

#include "logo/logo_controller.h"
#include "prefs/prefs.h"

namespace {

int quitPipe[2] = {-1, -1};

void requestQuit(int) {
  char byte = 1;
  // Only async-signal-safe work here; the event loop does the rest.
  [[maybe_unused]] auto written = ::write(quitPipe[1], &byte, 1);
}

// Turns SIGTERM and SIGINT into a normal quit of the event loop, through a pipe the loop watches.
bool watchQuitSignals(QCoreApplication& app) {
  if (::pipe2(quitPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  auto* notifier = new QSocketNotifier(quitPipe[0], QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
  struct sigaction action = {};
  action.sa_handler = requestQuit;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGINT, &action, nullptr) == 0;
}

const char* reason(LogoController::Compatibility compatibility) {
  switch (compatibility) {
    case LogoController::Compatibility::noLogoHardware: return "This Mac doesn't have an illuminated logo";
    case LogoController::Compatibility::controlsMissing:
      return "Unavailable \u2014 macOS may have changed. The logo is as macOS set it.";
    case LogoController::Compatibility::ok: break;
  }
  return nullptr;
}

}  // namespace

namespace HeadlessApplication {

int run(int& argc, char** argv, Platform& platform) {
  QCoreApplication app(argc, argv);
  if (!watchQuitSignals(app)) return 1;
  Prefs prefs(platform.preferences);
  prefs.migrateLegacyIfNeeded();
  LogoController logo(platform);
  if (const char* problem = reason(logo.checkCompatibility())) std::cerr << "halomark: " << problem << '\n';
  app.exec();
  return 0;
}

}  // namespace HeadlessApplication
