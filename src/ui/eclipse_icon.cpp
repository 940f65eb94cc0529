#include "ui/eclipse_icon.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <cmath>

namespace EclipseIcon {

namespace {

constexpr double kGrid = 24;

QColor withOpacity(QColor color, double opacity) {
  color.setAlphaF(color.alphaF() * opacity);
  return color;
}

void drawCrescent(QPainter& p, const QColor& color, double lineWidth) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawEllipse(QRectF(3.8, 5.5, 14.4, 14.4));
  // Cuts the covering disc out of this drawing only: the caller draws it on a layer of its own.
  p.setCompositionMode(QPainter::CompositionMode_Clear);
  p.drawEllipse(QRectF(8.6, 3.4, 12.2, 12.2));
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(withOpacity(color, 0.5), lineWidth * 0.85));
  p.drawEllipse(QRectF(9.4, 4.2, 10.6, 10.6));
}

void drawOutline(QPainter& p, const QColor& color, double lineWidth) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(color, lineWidth * 1.1));
  p.drawEllipse(QRectF(4.8, 4.8, 14.4, 14.4));
  double width = lineWidth * 0.9;
  QPen dashed(withOpacity(color, 0.55), width, Qt::CustomDashLine, Qt::RoundCap);
  // Qt measures dashes in pen widths.
  dashed.setDashPattern({1.8 / width, 2.2 / width});
  dashed.setDashOffset(0);
  p.setPen(dashed);
  const double radius = 5.8;
  p.drawArc(QRectF(15.2 - radius, 12 - radius, 2 * radius, 2 * radius), 128 * 16, 104 * 16);
}

}  // namespace

void draw(QPainter& painter, bool lit, const QRectF& rect, const QColor& color, double lineWidth) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  double scale = rect.width() / kGrid;
  if (!lit) {
    painter.translate(rect.topLeft());
    painter.scale(scale, scale);
    drawOutline(painter, color, lineWidth);
    painter.restore();
    return;
  }
  // The transparency layer: an image at the target's device resolution, so the clearing never
  // reaches what is already painted below.
  QTransform device = painter.combinedTransform();
  double deviceScale = std::sqrt(std::abs(device.determinant())) * painter.device()->devicePixelRatioF();
  QSize pixels(static_cast<int>(std::ceil(rect.width() * deviceScale)),
               static_cast<int>(std::ceil(rect.height() * deviceScale)));
  QImage layer(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
  layer.fill(Qt::transparent);
  {
    QPainter layerPainter(&layer);
    layerPainter.setRenderHint(QPainter::Antialiasing);
    layerPainter.scale(pixels.width() / kGrid, pixels.height() / kGrid);
    drawCrescent(layerPainter, color, lineWidth);
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRectF(rect.topLeft(), QSizeF(pixels) / deviceScale), layer);
  painter.restore();
}

}  // namespace EclipseIcon
