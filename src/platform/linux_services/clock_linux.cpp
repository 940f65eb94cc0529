#include "platform/linux_services/clock_linux.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

double LinuxClock::now() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count();
}

int LinuxClock::localHour(double time) {
  std::time_t seconds = static_cast<std::time_t>(std::floor(time));
  // localtime_r reads the time zone only once per process; the application runs for days, so it
  // looks again (TZ, /etc/localtime) each time and follows a user who changes zones.
  tzset();
  std::tm local{};
  localtime_r(&seconds, &local);
  return local.tm_hour;
}

void LinuxClock::sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}
