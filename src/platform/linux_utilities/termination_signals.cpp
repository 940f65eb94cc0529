#include "platform/linux_utilities/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>

namespace {

int signalPipe[2] = {-1, -1};

void requestEnd(int) {
  char byte = 1;
  [[maybe_unused]] auto written = ::write(signalPipe[1], &byte, 1);
}

}  // namespace

namespace TerminationSignals {

// The handler only writes to a pipe; the event loop reads it and makes the call on the main thread.
std::unique_ptr<QSocketNotifier> watch(std::function<void()> onSignal) {
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
  auto notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [onSignal = std::move(onSignal)] {
    std::array<char, 16> drained{};
    while (::read(signalPipe[0], drained.data(), drained.size()) > 0) {
    }
    onSignal();
  });
  struct sigaction action {};
  action.sa_handler = requestEnd;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
  return notifier;
}

}  // namespace TerminationSignals
