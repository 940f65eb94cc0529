// Icons of the settings and welcome windows: the desktop theme's icon where it has one, else a
// simple drawing, so the windows look whole on a desktop without an icon theme.
#pragma once

#include <QColor>
#include <QIcon>
#include <string>

namespace WindowIcons {

enum class Drawn {
  gear,
  moonAndStars,
  sparkles,
  removeCircle,
  application,
  checkCircle,
  warningTriangle,
  wifi,
  battery
};

// The theme's icon named `themeName`, else the drawing, in the palette's text colour unless a
// colour is given.
QIcon themed(const char* themeName, Drawn fallback, QColor color = QColor());
// The drawing alone, for pictures that should look the same on every desktop.
QIcon drawn(Drawn shape, QColor color);
// An installed application's icon from its entry's Icon value (theme name or file); the generic
// application icon when it is empty or cannot be found.
QIcon application(const std::string& icon);

}  // namespace WindowIcons
