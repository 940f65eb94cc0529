#include "ui/palette_ink.h"

#include <QWidget>

namespace PaletteInk {

QColor toColor(Contrast::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }

Contrast::Rgb toRgb(const QColor& colour) {
  return {std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue())};
}

QColor secondaryText(const QPalette& palette, QPalette::ColorRole background) {
  return toColor(
      Contrast::secondary(toRgb(palette.color(QPalette::WindowText)), toRgb(palette.color(background))));
}

QColor switchOn(const QPalette& palette, const QColor& accent) {
  return toColor(Contrast::emphasised(toRgb(accent), toRgb(palette.color(QPalette::Window))));
}

QColor switchOff(const QPalette& palette) {
  return toColor(Contrast::visibleShade(toRgb(palette.color(QPalette::WindowText)),
                                        toRgb(palette.color(QPalette::Window))));
}

void makeSecondary(QWidget* widget) {
  QPalette palette = widget->palette();
  QColor quiet = secondaryText(palette);
  // Disabled too: a status line that cannot be chosen is still there to be read.
  for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::WindowText, quiet);
    palette.setColor(group, QPalette::Text, quiet);
  }
  widget->setPalette(palette);
}

}  // namespace PaletteInk
