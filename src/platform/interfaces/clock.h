// Wall-clock time, the local hour of the day, and blocking sleeps for the short-lived tool.
#pragma once

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds since the Unix epoch.
  virtual double now() = 0;
  // The hour (0...23) of `time` in the user's calendar and time zone.
  virtual int localHour(double time) = 0;
  // Blocks the calling thread; used by the tool only.
  virtual void sleep(double seconds) = 0;
};
