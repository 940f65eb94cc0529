#include "platform/linux_services/locale_linux.h"

#include <QString>
#include <QTextBoundaryFinder>
#include <cmath>

LinuxLocale::LinuxLocale() : locale_(QLocale::system()) {}

LinuxLocale::LinuxLocale(const std::string& name) : locale_(QString::fromStdString(name)) {}

std::string LinuxLocale::formatDecimal(double value) {
  // Rounding first and then printing the shortest form gives at most three fraction digits and
  // no trailing zeros.
  double rounded = std::isfinite(value) && std::fabs(value) < 1e15 ? std::round(value * 1000) / 1000 : value;
  if (rounded == 0) rounded = 0;  // no "-0"
  return locale_.toString(rounded, 'f', QLocale::FloatingPointShortest).toStdString();
}

std::string LinuxLocale::prefixOfCharacters(const std::string& text, std::size_t count) {
  QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, string);
  qsizetype end = 0;
  for (std::size_t seen = 0; seen < count; ++seen) {
    qsizetype next = finder.toNextBoundary();
    if (next < 0) return text;
    end = next;
  }
  return string.left(end).toStdString();
}
