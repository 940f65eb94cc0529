#include "ui/emblem_icon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include "ui/drawn_icon_engine.h"

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

QString number(double value) { return QString::number(value, 'f', 3); }

// The path in SVG's path syntax; Qt's curves are cubic, as SVG's "C".
QString pathData(const QPainterPath& path) {
  QString data;
  for (int i = 0; i < path.elementCount(); ++i) {
    QPainterPath::Element e = path.elementAt(i);
    switch (e.type) {
      case QPainterPath::MoveToElement: data += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y)); break;
      case QPainterPath::LineToElement: data += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y)); break;
      case QPainterPath::CurveToElement:
        data += QStringLiteral("C%1 %2").arg(number(e.x), number(e.y));
        break;
      case QPainterPath::CurveToDataElement:
        data += QStringLiteral(" %1 %2").arg(number(e.x), number(e.y));
        break;
    }
  }
  return data;
}

}  // namespace

std::vector<EclipseIcon::Shape> shapes(bool lit, bool attention) {
  QRectF base(-0.84, -0.84, 19.68, 19.68);
  if (!attention) return EclipseIcon::shapes(lit, base, kLineWidth);
  auto result = EclipseIcon::shapes(lit, base.translated(-1.4, 0.4), kLineWidth);
  QPainterPath dot;
  dot.addEllipse(QRectF(12.6, 0.6, 5, 5));
  result.push_back({dot, 1.0});
  return result;
}

void paint(QPainter& painter, bool lit, bool attention, const QColor& color) {
  EclipseIcon::fill(painter, shapes(lit, attention), color);
}

QIcon menuBarIcon(bool lit, bool attention, const QColor& color) {
  return QIcon(new Engine(lit, attention, color));
}

QByteArray svg(bool lit, bool attention, bool symbolic, const QColor& color) {
  QString ink = color.name(QColor::HexRgb);
  QString document = QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"18\" height=\"18\" viewBox=\"0 0 "
      "18 18\">\n");
  QString paint = QStringLiteral("fill=\"%1\"").arg(ink);
  if (symbolic) {
    document += QStringLiteral(
                    "  <style id=\"current-color-scheme\" type=\"text/css\">.ColorScheme-Text { color:%1; "
                    "}</style>\n")
                    .arg(ink);
    paint = QStringLiteral("class=\"ColorScheme-Text\" fill=\"currentColor\"");
  }
  for (const auto& shape : shapes(lit, attention)) {
    QString opacity =
        shape.opacity < 1 ? QStringLiteral(" fill-opacity=\"%1\"").arg(shape.opacity) : QString();
    QString rule =
        shape.path.fillRule() == Qt::OddEvenFill ? QStringLiteral(" fill-rule=\"evenodd\"") : QString();
    document += QStringLiteral("  <path %1%2%3 d=\"%4\"/>\n").arg(paint, opacity, rule, pathData(shape.path));
  }
  document += QStringLiteral("</svg>\n");
  return document.toUtf8();
}

QString accessibleDescription(bool attention) {
  return attention ? QStringLiteral("Halomark, needs your attention") : QStringLiteral("Halomark");
}

}  // namespace EmblemIcon
