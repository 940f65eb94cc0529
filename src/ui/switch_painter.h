// How an on/off switch is drawn, for the menu's logo switch and the settings and welcome rows: a
// pill whose track stands out against the background whether on or off, a white knob on the side
// of its state, and a focus ring while the keyboard is on it.
#pragma once

#include <QColor>
#include <QRectF>

class QPainter;
class QPalette;

namespace SwitchPainter {

// Draws into `bounds`; `accent` is the on colour before it is deepened for contrast.
void paint(QPainter& painter, QRectF bounds, bool on, bool enabled, bool focused, const QPalette& palette,
           const QColor& accent);

}  // namespace SwitchPainter
