// The desktop's alert sound: how a refused change is answered when there is nothing else to say.
#pragma once

class AlertSound {
 public:
  virtual ~AlertSound() = default;
  virtual void beep() = 0;
};
