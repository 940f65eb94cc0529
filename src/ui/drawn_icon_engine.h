// An icon engine that draws on demand: every size and device pixel ratio asked for is painted
// afresh by the subclass's paint(), never scaled from a bitmap, so the icon stays sharp at 1×, 2×, 3×.
#pragma once

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

class DrawnIconEngine : public QIconEngine {
 public:
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }
  // `size` is in device pixels; the drawing is laid out in points (device pixels / scale).
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap pixmap(size);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(0, 0), (QSizeF(size) / scale).toSize()), mode, state);
    return pixmap;
  }
};
