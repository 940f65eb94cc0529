// Text rules of the user's locale: number formatting and user-perceived characters.
#pragma once

#include <cstddef>
#include <string>

class Locale {
 public:
  virtual ~Locale() = default;
  // The locale's default decimal style: grouped thousands, the locale's decimal mark, at most three
  // fraction digits.
  virtual std::string formatDecimal(double value) = 0;
  // The first `count` user-perceived characters (grapheme clusters) of UTF-8 `text`.
  virtual std::string prefixOfCharacters(const std::string& text, std::size_t count) = 0;
};
