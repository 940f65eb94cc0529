// Changes of a preference domain's stored copy, by any process, noticed without being told: how
// the application hears of the tool's writes where no notification service carries the word.
#pragma once

#include <functional>
#include <string>

class PreferenceWatch {
 public:
  virtual ~PreferenceWatch() = default;
  // Calls `onChange` on the main thread each time the stored copy of `domain` is seen to have
  // changed; one burst of writes may call it more than once. False when it cannot be watched.
  virtual bool watch(const std::string& domain, std::function<void()> onChange) = 0;
};
