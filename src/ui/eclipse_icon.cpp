#include "ui/eclipse_icon.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

namespace EclipseIcon {

namespace {

constexpr double kGrid = 24;

QPainterPath circle(const QRectF& bounds) {
  QPainterPath path;
  path.addEllipse(bounds);
  return path;
}

QPainterPath outlineOf(const QPainterPath& line, double width, Qt::PenCapStyle cap = Qt::FlatCap,
                       const QList<qreal>& dashes = {}) {
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(cap);
  if (!dashes.isEmpty()) {
    stroker.setDashPattern(dashes);
    stroker.setDashOffset(0);
  }
  return stroker.createStroke(line);
}

// A disc with the covering disc cut out of its upper right, and a faint ring outlining the cover.
std::vector<Shape> crescent(double lineWidth) {
  QPainterPath disc = circle({3.8, 5.5, 14.4, 14.4});
  return {{disc.subtracted(circle({8.6, 3.4, 12.2, 12.2})), 1.0},
          {outlineOf(circle({9.4, 4.2, 10.6, 10.6}), lineWidth * 0.85), 0.5}};
}

// The full outline, and the dashed edge of the covering disc inside it.
std::vector<Shape> outline(double lineWidth) {
  double dashWidth = lineWidth * 0.9;
  const double radius = 5.8;
  QRectF arcBounds(15.2 - radius, 12 - radius, 2 * radius, 2 * radius);
  QPainterPath arc;
  arc.arcMoveTo(arcBounds, 128);
  arc.arcTo(arcBounds, 128, 104);
  // Dashes are measured in stroke widths.
  return {{outlineOf(circle({4.8, 4.8, 14.4, 14.4}), lineWidth * 1.1), 1.0},
          {outlineOf(arc, dashWidth, Qt::RoundCap, {1.8 / dashWidth, 2.2 / dashWidth}), 0.55}};
}

}  // namespace

std::vector<Shape> shapes(bool lit, const QRectF& rect, double lineWidth) {
  std::vector<Shape> result = lit ? crescent(lineWidth) : outline(lineWidth);
  double scale = rect.width() / kGrid;
  QTransform place = QTransform::fromTranslate(rect.x(), rect.y()).scale(scale, scale);
  for (Shape& shape : result) shape.path = place.map(shape.path);
  return result;
}

void fill(QPainter& painter, const std::vector<Shape>& shapes, const QColor& color) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  for (const Shape& shape : shapes) {
    QColor ink = color;
    ink.setAlphaF(color.alphaF() * shape.opacity);
    painter.fillPath(shape.path, ink);
  }
  painter.restore();
}

void draw(QPainter& painter, bool lit, const QRectF& rect, const QColor& color, double lineWidth) {
  fill(painter, shapes(lit, rect, lineWidth), color);
}

}  // namespace EclipseIcon
