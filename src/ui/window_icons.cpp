#include "ui/window_icons.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <cmath>

namespace WindowIcons {

namespace {

void drawGear(QPainter& p, QColor color) {
  p.setPen(QPen(color, 3.2, Qt::SolidLine, Qt::RoundCap));
  for (int tooth = 0; tooth < 8; ++tooth) {
    double angle = tooth * M_PI / 4;
    p.drawLine(QPointF(16 + 9 * std::cos(angle), 16 + 9 * std::sin(angle)),
               QPointF(16 + 13 * std::cos(angle), 16 + 13 * std::sin(angle)));
  }
  p.setPen(QPen(color, 3));
  p.drawEllipse(QPointF(16, 16), 8, 8);
  p.drawEllipse(QPointF(16, 16), 3, 3);
}

void drawMoon(QPainter& p, QColor color) {
  QPainterPath moon;
  moon.addEllipse(QPointF(14, 18), 11, 11);
  QPainterPath bite;
  bite.addEllipse(QPointF(20, 13), 9, 9);
  p.fillPath(moon.subtracted(bite), color);
  p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
  for (QPointF star : {QPointF(24, 6), QPointF(28, 15)}) {
    p.drawLine(star - QPointF(2.5, 0), star + QPointF(2.5, 0));
    p.drawLine(star - QPointF(0, 2.5), star + QPointF(0, 2.5));
  }
}

void drawSparkle(QPainter& p, QPointF centre, double size, QColor color) {
  QPainterPath star;
  star.moveTo(centre + QPointF(0, -size));
  star.quadTo(centre, centre + QPointF(size, 0));
  star.quadTo(centre, centre + QPointF(0, size));
  star.quadTo(centre, centre + QPointF(-size, 0));
  star.quadTo(centre, centre + QPointF(0, -size));
  p.fillPath(star, color);
}

void drawShape(QPainter& p, Drawn shape, QColor color) {
  switch (shape) {
    case Drawn::gear: drawGear(p, color); break;
    case Drawn::moonAndStars: drawMoon(p, color); break;
    case Drawn::sparkles:
      drawSparkle(p, {13, 18}, 11, color);
      drawSparkle(p, {25, 7}, 5, color);
      drawSparkle(p, {26, 25}, 4, color);
      break;
    case Drawn::removeCircle:
      p.setPen(QPen(color, 2.5));
      p.drawEllipse(QPointF(16, 16), 12, 12);
      p.drawLine(QPointF(10, 16), QPointF(22, 16));
      break;
    case Drawn::application:
      p.setPen(Qt::NoPen);
      p.setBrush(color);
      p.drawRoundedRect(QRectF(4, 4, 24, 24), 6, 6);
      break;
    case Drawn::checkCircle:
      p.setPen(Qt::NoPen);
      p.setBrush(color);
      p.drawEllipse(QPointF(16, 16), 14, 14);
      p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF({QPointF(9, 16.5), QPointF(14, 21.5), QPointF(23, 11)}));
      break;
    case Drawn::wifi:
      p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap));
      for (double radius : {7.0, 13.0, 19.0}) {
        p.drawArc(QRectF(16 - radius, 26 - radius, 2 * radius, 2 * radius), 45 * 16, 90 * 16);
      }
      p.drawPoint(QPointF(16, 26));
      break;
    case Drawn::battery:
      p.setPen(QPen(color, 2));
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(QRectF(2, 9, 25, 14), 3, 3);
      p.setPen(Qt::NoPen);
      p.setBrush(color);
      p.drawRect(QRectF(5, 12, 14, 8));
      p.drawRoundedRect(QRectF(28, 13, 2.5, 6), 1, 1);
      break;
    case Drawn::warningTriangle:
      p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(color);
      p.drawPolygon(QPolygonF({QPointF(16, 3.5), QPointF(29.5, 27.5), QPointF(2.5, 27.5)}));
      p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(16, 11), QPointF(16, 19));
      p.drawPoint(QPointF(16, 24));
      break;
  }
}

}  // namespace

QIcon drawn(Drawn shape, QColor color) {
  QIcon icon;
  for (int size : {16, 20, 24, 32, 48, 64, 96}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    drawShape(p, shape, color);
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon themed(const char* themeName, Drawn fallback, QColor color) {
  // A theme may know the name yet have no picture for it; only a drawable icon counts.
  QIcon icon = QIcon::fromTheme(QString::fromLatin1(themeName));
  if (!icon.isNull() && !icon.availableSizes().isEmpty()) return icon;
  if (!color.isValid()) color = QApplication::palette().color(QPalette::WindowText);
  return drawn(fallback, color);
}

QIcon application(const std::string& icon) {
  QString name = QString::fromStdString(icon);
  if (!name.isEmpty() && QFileInfo(name).isAbsolute() && QFileInfo::exists(name)) return QIcon(name);
  if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
  return themed("application-x-executable", Drawn::application, QColor(0x8e, 0x8e, 0x93));
}

}  // namespace WindowIcons
