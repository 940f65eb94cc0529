// The contrast rules applied to a widget's palette: the readable secondary text colour (status
// line, small labels, subtitles) and the colours of a switch's track, each chosen to stand out
// against the background they are drawn on, in light and dark themes alike.
#pragma once

#include <QColor>
#include <QPalette>

#include "menubar/contrast.h"

namespace PaletteInk {

QColor toColor(Contrast::Rgb rgb);
Contrast::Rgb toRgb(const QColor& colour);

// Quieter than the text, and still 4.5:1 against the background.
QColor secondaryText(const QPalette& palette, QPalette::ColorRole background = QPalette::Window);
// A switch's track when on (`accent` deepened as far as it needs to stand 3:1) and when off.
QColor switchOn(const QPalette& palette, const QColor& accent);
QColor switchOff(const QPalette& palette);
// Gives `widget`'s text the secondary colour.
void makeSecondary(class QWidget* widget);

}  // namespace PaletteInk
