#include "platform/linux_utilities/uevent_monitor.h"

#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <sstream>

namespace {

// The kernel's own multicast group; udev's rebroadcast is another format and may be absent.
constexpr unsigned kKernelGroup = 1;

}  // namespace

UeventMonitor::UeventMonitor(int fd, std::function<void(const std::string&)> onEvent)
    : fd_(fd),
      onEvent_(std::move(onEvent)),
      notifier_(std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read)) {
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] { readAll(); });
}

UeventMonitor::~UeventMonitor() {
  notifier_.reset();
  ::close(fd_);
}

int UeventMonitor::openKernelSocket() {
  int fd = ::socket(AF_NETLINK, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_KOBJECT_UEVENT);
  if (fd < 0) return -1;
  sockaddr_nl address{};
  address.nl_family = AF_NETLINK;
  address.nl_groups = kKernelGroup;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string UeventMonitor::subsystemOf(const std::string& datagram) {
  std::istringstream fields(datagram);
  std::string field;
  const std::string key = "SUBSYSTEM=";
  while (std::getline(fields, field, '\0')) {
    if (field.compare(0, key.size(), key) == 0) return field.substr(key.size());
  }
  return {};
}

void UeventMonitor::readAll() {
  char buffer[8192];
  for (;;) {
    ssize_t length = ::recv(fd_, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (length < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    // An overflowing receive queue loses events but the socket stays usable.
    if (length < 0 && errno == ENOBUFS) continue;
    if (length <= 0) {
      // A closed or broken socket would otherwise wake the loop forever.
      notifier_->setEnabled(false);
      return;
    }
    std::string subsystem = subsystemOf(std::string(buffer, static_cast<std::size_t>(length)));
    if (!subsystem.empty()) onEvent_(subsystem);
  }
}
