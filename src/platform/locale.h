// Number formatting in the user's locale.
#pragma once

#include <string>

class Locale {
 public:
  virtual ~Locale() = default;
  // The locale's default decimal style: grouped thousands, the locale's decimal mark, at most three
  // fraction digits.
  virtual std::string formatDecimal(double value) = 0;
};
