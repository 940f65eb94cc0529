#include "ui/qt_text.h"

namespace QtText {

QString literal(const QString& text) { return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")); }

QString literal(const char* utf8) { return literal(QString::fromUtf8(utf8)); }

QString literal(const std::string& utf8) { return literal(QString::fromStdString(utf8)); }

QString shown(const QString& qtText) {
  QString result;
  result.reserve(qtText.size());
  for (qsizetype i = 0; i < qtText.size(); ++i) {
    if (qtText.at(i) == QLatin1Char('&') && i + 1 < qtText.size()) ++i;
    result += qtText.at(i);
  }
  return result;
}

}  // namespace QtText
