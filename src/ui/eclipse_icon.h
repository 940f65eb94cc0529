// The eclipse drawn with QPainter: a lit crescent when the logo is on, a dashed outline when it is
// off. Drawn on demand at any size and device pixel ratio, never scaled from a bitmap.
#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace EclipseIcon {

// Draws into `rect` (a 24 x 24 design grid is mapped onto it) in `color`; `lineWidth` is the base
// width of the strokes in grid units.
void draw(QPainter& painter, bool lit, const QRectF& rect, const QColor& color, double lineWidth);

}  // namespace EclipseIcon
