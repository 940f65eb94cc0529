// Measures how long the running application takes from the moment a preferences-changed
// notification is posted to the moment the new brightness mapping is on the emulated logo device.
// Run it inside the session of a running application (bench/app_measurements.sh does), with the
// number of changes to make as its argument (200 when none is given).
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "formats/brightness_table.h"
#include "logo/logo_controller.h"
#include "platform/devices/emulated/emulated_logo_device.h"
#include "platform/linux_services/notification_center_linux.h"
#include "platform/linux_services/preference_domains_linux.h"
#include "prefs/prefs.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kDefaultRuns = 200;
constexpr int kTimeoutMs = 2000;

bool showsMapping(EmulatedLogoDevice& device, const BrightnessTable& expected) {
  auto value = device.copyProperty(kMappingKey);
  auto table = value ? tableFromPlist(*value) : std::nullopt;
  if (!table || table->size() != expected.size()) return false;
  for (std::size_t row = 0; row < expected.size(); ++row) {
    if (std::abs((*table)[row][1] - expected[row][1]) > 0.01) return false;
  }
  return true;
}

double multiplier(EmulatedLogoDevice& device) {
  auto state = device.copyProperty(kStateKey);
  if (!state || !state->contains("NitsMultiplier")) return 1;
  double value = (*state)["NitsMultiplier"].get<double>();
  return value > 0 ? value : 1;
}

// Waits for the device's state file to be replaced until it shows `expected`; the elapsed time
// in milliseconds, or a negative number on a time-out.
double waitForMapping(int watch, EmulatedLogoDevice& device, const BrightnessTable& expected,
                      SteadyClock::time_point start) {
  while (!showsMapping(device, expected)) {
    pollfd ready{watch, POLLIN, 0};
    if (::poll(&ready, 1, kTimeoutMs) <= 0) return -1;
    char events[4096];
    [[maybe_unused]] auto drained = ::read(watch, events, sizeof events);
  }
  return std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
}

double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
  if (runs < 1) {
    std::fprintf(stderr, "apply_latency: the number of changes must be a positive number\n");
    return 2;
  }
  EmulatedLogoDevice device(EmulatedLogoDevice::defaultStatePath());
  if (!device.hasLogoBacklight()) {
    std::fprintf(stderr, "apply_latency: no emulated logo device; create one with halomark-device create\n");
    return 1;
  }
  LinuxPreferenceDomains domains(LinuxPreferenceDomains::defaultDirectory());
  Prefs prefs(domains);
  LinuxNotificationCenter notifications;
  int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  auto directory = std::filesystem::path(device.statePath()).parent_path().string();
  ::inotify_add_watch(watch, directory.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);

  std::vector<double> latencies;
  int timeouts = 0;
  for (int run = 0; run < runs; ++run) {
    double nits = 100 + run % 50;
    prefs.setSetting(Setting::fixed(nits));
    prefs.synchronize();
    auto expected = LogoController::flatMapping(nits / multiplier(device));
    auto start = SteadyClock::now();
    notifications.post(Prefs::changedNotification(), std::nullopt);
    double elapsed = waitForMapping(watch, device, expected, start);
    if (elapsed < 0) {
      ++timeouts;
    } else {
      latencies.push_back(elapsed);
    }
    // Lets the rest of the apply (mode, display nudge) finish before the next change.
    ::usleep(20000);
  }
  if (latencies.empty()) {
    std::fprintf(stderr, "apply_latency: the application never applied a change (is it running?)\n");
    return 1;
  }
  std::printf(
      "notification -> mapping on the device, %zu runs (%d timed out): median %.2f ms, p95 %.2f ms, max %.2f "
      "ms\n",
      latencies.size(), timeouts, percentile(latencies, 0.5), percentile(latencies, 0.95),
      percentile(latencies, 1.0));
  return 0;
}
