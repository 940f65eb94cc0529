// Number formatting and user-perceived characters from Qt's locale and text segmentation.
#pragma once

#include <QLocale>

#include "platform/interfaces/locale.h"

class LinuxLocale : public Locale {
 public:
  // The user's locale, from LC_ALL, LC_NUMERIC or LANG.
  LinuxLocale();
  // A named locale such as "de_DE".
  explicit LinuxLocale(const std::string& name);

  std::string formatDecimal(double value) override;
  std::string prefixOfCharacters(const std::string& text, std::size_t count) override;

 private:
  QLocale locale_;
};
