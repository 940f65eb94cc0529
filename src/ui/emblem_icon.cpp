#include "ui/emblem_icon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include "ui/drawn_icon_engine.h"
#include "ui/eclipse_icon.h"

namespace EmblemIcon {

namespace {

constexpr double kLineWidth = 1.45;

class Engine : public DrawnIconEngine {
 public:
  Engine(bool lit, bool attention, QColor color) : lit_(lit), attention_(attention), color_(color) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->translate(rect.topLeft());
    double side = std::min(rect.width(), rect.height());
    painter->scale(side / kPoints, side / kPoints);
    QColor color = color_.isValid() ? color_ : QGuiApplication::palette().color(QPalette::WindowText);
    if (mode == QIcon::Disabled) color.setAlphaF(color.alphaF() * 0.5);
    EmblemIcon::paint(*painter, lit_, attention_, color);
    painter->restore();
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new Engine(lit_, attention_, color_); }
  QString key() const override { return QStringLiteral("halomark-emblem"); }

 private:
  bool lit_;
  bool attention_;
  QColor color_;
};

}  // namespace

void paint(QPainter& painter, bool lit, bool attention, const QColor& color) {
  QRectF base(-0.84, -0.84, 19.68, 19.68);
  if (!attention) {
    EclipseIcon::draw(painter, lit, base, color, kLineWidth);
    return;
  }
  EclipseIcon::draw(painter, lit, base.translated(-1.4, 0.4), color, kLineWidth);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(color);
  painter.drawEllipse(QRectF(12.6, 0.6, 5, 5));
  painter.restore();
}

QIcon menuBarIcon(bool lit, bool attention, const QColor& color) {
  return QIcon(new Engine(lit, attention, color));
}

QString accessibleDescription(bool attention) {
  return attention ? QStringLiteral("Halomark, needs your attention") : QStringLiteral("Halomark");
}

}  // namespace EmblemIcon
