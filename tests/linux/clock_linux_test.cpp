#include "platform/linux_services/clock_linux.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

// Sets TZ for the length of a test and puts the earlier value back.
class TimeZoneScope {
 public:
  TimeZoneScope() {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
  }
  ~TimeZoneScope() {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  TimeZoneScope(const TimeZoneScope&) = delete;
  TimeZoneScope& operator=(const TimeZoneScope&) = delete;

  // POSIX zone strings, so the test needs no time-zone database.
  void set(const char* zone) { setenv("TZ", zone, 1); }

 private:
  std::optional<std::string> saved_;
};

// 2027-01-15 08:00:00 UTC.
constexpr double kEightUtc = 1'800'000'000.0;

TEST(LinuxClock, LocalHourFollowsTheUsersTimeZoneEvenWhenItChanges) {
  TimeZoneScope zone;
  LinuxClock clock;
  zone.set("UTC0");
  EXPECT_EQ(clock.localHour(kEightUtc), 8);
  EXPECT_EQ(clock.localHour(kEightUtc - 0.5), 7) << "whole hours: 07:59:59.5 is still hour 7";

  // The application runs for days: a user who moves to another zone gets quiet hours of that zone
  // without restarting it.
  zone.set("JST-9");
  EXPECT_EQ(clock.localHour(kEightUtc), 17);
  zone.set("EST5");
  EXPECT_EQ(clock.localHour(kEightUtc), 3);
  EXPECT_EQ(clock.localHour(kEightUtc - 9 * 3600.0), 18) << "the day before";
}

}  // namespace
