// Where the product's texts meet Qt's widgets. To a label with a buddy, a button, an action or a
// group box an "&" marks a keyboard mnemonic; the product's texts mean it literally ("Apps &
// Schedule…", "Startup & Updates"), so it is doubled on the way in.
#pragma once

#include <QString>
#include <string>

namespace QtText {

QString literal(const QString& text);
QString literal(const char* utf8);
QString literal(const std::string& utf8);
// Qt's text as it is shown and read out: mnemonic markers gone, "&&" back to "&".
QString shown(const QString& qtText);

}  // namespace QtText
