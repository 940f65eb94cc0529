// Wall-clock time and the local hour from the system clock and time zone.
#pragma once

#include "platform/interfaces/clock.h"

class LinuxClock : public Clock {
 public:
  double now() override;
  int localHour(double time) override;
  void sleep(double seconds) override;
};
