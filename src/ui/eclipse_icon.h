// The eclipse: a lit crescent when the logo is on, a dashed outline when it is off. It is kept as
// filled shapes (strokes already turned into outlines), so the same geometry paints with QPainter
// at any size and device pixel ratio and writes out as a fill-only SVG that icon themes recolour.
#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <vector>

class QPainter;

namespace EclipseIcon {

struct Shape {
  QPainterPath path;
  double opacity = 1;
};

// The shapes in `rect` (a 24 x 24 design grid is mapped onto it); `lineWidth` is the base width of
// the strokes in grid units.
std::vector<Shape> shapes(bool lit, const QRectF& rect, double lineWidth);
// Fills the shapes in `color`, each at its opacity.
void draw(QPainter& painter, bool lit, const QRectF& rect, const QColor& color, double lineWidth);
void fill(QPainter& painter, const std::vector<Shape>& shapes, const QColor& color);

}  // namespace EclipseIcon
