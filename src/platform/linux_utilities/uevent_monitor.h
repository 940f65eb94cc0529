// Kernel device events (uevents) read from a netlink socket on the main loop, reported by the
// device's subsystem ("drm", "power_supply", ...).
#pragma once

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

class UeventMonitor {
 public:
  // Takes ownership of `fd`, a datagram socket carrying uevents.
  UeventMonitor(int fd, std::function<void(const std::string& subsystem)> onEvent);
  ~UeventMonitor();
  UeventMonitor(const UeventMonitor&) = delete;
  UeventMonitor& operator=(const UeventMonitor&) = delete;

  // A non-blocking socket on the kernel's uevent broadcast; -1 when it cannot be had.
  static int openKernelSocket();
  // The SUBSYSTEM of one uevent datagram ("ACTION@DEVPATH\0KEY=VALUE\0..."); empty if none.
  static std::string subsystemOf(const std::string& datagram);

 private:
  void readAll();

  int fd_;
  std::function<void(const std::string&)> onEvent_;
  std::unique_ptr<QSocketNotifier> notifier_;
};
