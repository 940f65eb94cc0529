// Measures the real logo light's side of the application: how long a setting change takes from the
// moment the application is told (the apply) until the light's new level is written, straight into
// the brightness file and through a mocked systemd-logind on a private bus; then the process's
// wake-ups while it sits idle with a fixed, an off and an automatic setting (the last without
// uevents, so the slow poll shows). The light and the panel are a fixture tree in memory.
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "fakes/fake_platform.h"
#include "linux/dbusmock_bus.h"
#include "linux/led_fixture.h"
#include "linux/logind_mock.h"
#include "platform/devices/leds/led_class.h"
#include "platform/devices/leds/led_logo_device.h"
#include "platform/linux_services/clock_linux.h"
#include "platform/linux_services/scheduler_linux.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr int kRuns = 500;
constexpr int kIdleSeconds = 20;
const std::string kLight = "platform::logo";

double percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

long long contextSwitches() {
  std::ifstream status("/proc/self/status");
  long long total = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.find("ctxt_switches:") != std::string::npos)
      total += std::stoll(line.substr(line.find(':') + 1));
  }
  return total;
}

// The application on fake services, except the logo light and the real main-loop timers.
struct Rig {
  Rig(const LedFixture& fixture, DBusBuses buses) {
    device = std::make_unique<LedLogoDevice>(
        LedLogoDevice::Config{fixture.sys(), fixture.runtime(), std::move(buses), [] { return -1; },
                              scheduler, [] { return std::nullopt; }, [] { return 500.0; }});
    platform = std::make_unique<Platform>(fake.with({.brightness = device.get(),
                                                     .logoHardware = device.get(),
                                                     .displayBrightness = device.get(),
                                                     .clock = &clock,
                                                     .scheduler = &scheduler}));
    delegate = std::make_shared<AppDelegate>(*platform);
    delegate->applicationDidFinishLaunching();
  }

  FakePlatform fake;
  LinuxClock clock;
  LinuxScheduler scheduler;
  std::unique_ptr<LedLogoDevice> device;
  std::unique_ptr<Platform> platform;
  std::shared_ptr<AppDelegate> delegate;
};

void measureLatency(const char* route, const LedFixture& fixture, DBusBuses buses) {
  Rig rig(fixture, std::move(buses));
  std::vector<double> latencies;
  int wrong = 0;
  for (int run = 0; run < kRuns; ++run) {
    double nits = run % 2 ? 300 : 700;
    rig.delegate->prefs().setSetting(Setting::fixed(nits));
    auto start = SteadyClock::now();
    rig.delegate->apply();
    latencies.push_back(std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count());
    if (fixture.brightness(kLight) != LedClass::levelFor(nits, 255)) ++wrong;
  }
  std::printf("%-8s apply -> level written: median %.3f ms, p99 %.3f ms, max %.3f ms (%d runs, %d wrong)\n",
              route, percentile(latencies, 0.5), percentile(latencies, 0.99), percentile(latencies, 1.0),
              kRuns, wrong);
}

void runMainLoop(int seconds) {
  QTimer::singleShot(seconds * 1000, [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
}

void measureIdle(const char* name, const LedFixture& fixture, const Setting& setting) {
  Rig rig(fixture, unreachableBuses());
  rig.delegate->prefs().setSetting(setting);
  rig.delegate->apply();
  // Lets the refreshes that follow every apply (the latency runs left hundreds) fire first.
  runMainLoop(1);
  long long before = contextSwitches();
  runMainLoop(kIdleSeconds);
  std::printf("idle %-9s %lld wake-ups in %d s (the watchdog fires every 30 s)\n", name,
              contextSwitches() - before, kIdleSeconds);
}

}  // namespace

int main() {
  ensureCoreApplication();
  LedFixture fixture(TempTree::memoryBase());
  fixture.addLed(kLight, 255, 0);
  fixture.addBacklight("intel_backlight", "raw", 1000, 500);

  measureLatency("direct", fixture, unreachableBuses());
  // Before the private bus exists: its connection's thread would count as the process's wake-ups.
  measureIdle("fixed", fixture, Setting::fixed(300));
  measureIdle("off", fixture, Setting::off());
  measureIdle("automatic", fixture, Setting::automatic());
  {
    DBusMockBus bus;
    LogindMock logind(bus);
    setenv("XDG_SESSION_ID", "c1", 1);
    bool ready = bus.started() && logind.start() && logind.addSession(QStringLiteral("c1"), true, getuid()) &&
                 logind.addSessionMethod(
                     QStringLiteral("c1"), QStringLiteral("SetBrightness"), QStringLiteral("ssu"), QString(),
                     QString::fromStdString("open('" + fixture.sys() +
                                            "/class/' + args[0] + '/' + args[1] + '/brightness', 'w')"
                                            ".write(str(args[2]))"));
    if (ready) {
      measureLatency("logind", fixture, bus.buses());
    } else {
      std::printf("logind   (no private bus or python3-dbusmock: skipped)\n");
    }
  }
  return 0;
}
