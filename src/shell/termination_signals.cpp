#include "shell/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <array>

namespace {

int quitPipe[2] = {-1, -1};

void requestQuit(int) {
  char byte = 1;
  [[maybe_unused]] auto written = ::write(quitPipe[1], &byte, 1);
}

}  // namespace

namespace TerminationSignals {

// Signals only write to a pipe; the main loop reads it and quits, so termination runs on the main
// thread like any other quit.
std::unique_ptr<QSocketNotifier> quitOnTermination() {
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

}  // namespace TerminationSignals
