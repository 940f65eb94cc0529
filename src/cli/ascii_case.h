// ASCII case folding for the tool's words (commands, answers, units): only A-Z change, whatever the
// user's locale, so a word matches the same way everywhere.
#pragma once

#include <string>

inline char asciiLowercase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string asciiLowercase(std::string text) {
  for (char& c : text) c = asciiLowercase(c);
  return text;
}
