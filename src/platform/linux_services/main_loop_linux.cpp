#include "platform/linux_services/main_loop_linux.h"

#include <poll.h>
#include <signal.h>
#include <sys/stat.h>

#include <QCoreApplication>

#include "platform/linux_utilities/termination_signals.h"

LinuxMainLoop::LinuxMainLoop(int outputFd) : outputFd_(outputFd) {}

LinuxMainLoop::~LinuxMainLoop() {
  output_.reset();
  termination_.reset();
}

void LinuxMainLoop::prepare() {
  if (!QCoreApplication::instance()) application_ = std::make_unique<QCoreApplication>(argc_, argv_);
  // A reader that has gone shows as a failed write, which the command handles, instead of a
  // signal that ends the process between two lines.
  ::signal(SIGPIPE, SIG_IGN);
  watchTermination();
  watchOutput();
}

void LinuxMainLoop::watchTermination() {
  if (!termination_) termination_ = TerminationSignals::watch([this] { end(End::terminated); });
}

// Only a pipe is watched: its writing end reports an error once no reader is left, and never
// becomes readable otherwise. A terminal would report every key typed, a file never goes away.
void LinuxMainLoop::watchOutput() {
  struct stat info {};
  if (output_ || ::fstat(outputFd_, &info) != 0 || !S_ISFIFO(info.st_mode)) return;
  output_ = std::make_unique<QSocketNotifier>(outputFd_, QSocketNotifier::Read);
  QObject::connect(output_.get(), &QSocketNotifier::activated, [this] {
    pollfd check{outputFd_, 0, 0};
    if (::poll(&check, 1, 0) > 0 && (check.revents & (POLLERR | POLLHUP | POLLNVAL))) {
      output_->setEnabled(false);
      end(End::outputClosed);
    }
  });
}

MainLoop::End LinuxMainLoop::run() {
  if (!QCoreApplication::instance()) prepare();
  if (!ended_) QCoreApplication::exec();
  End how = ended_.value_or(End::quit);
  ended_.reset();
  return how;
}

void LinuxMainLoop::quit() { end(End::quit); }

void LinuxMainLoop::end(End how) {
  if (!ended_) ended_ = how;
  QCoreApplication::quit();
}
