#include "ui/application_icon.h"

#include <QPainter>
#include <QPixmap>

#include "ui/drawn_icon_engine.h"
#include "ui/eclipse_icon.h"

namespace ApplicationIcon {

namespace {

const QColor kPlate(0x1d, 0x22, 0x30);
const QColor kLight(0xf5, 0xf1, 0xe6);

void paint(QPainter& painter, const QRectF& square) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(kPlate);
  painter.drawEllipse(square);
  double inset = square.width() * 0.1;
  EclipseIcon::draw(painter, true, square.adjusted(inset, inset, -inset, -inset), kLight, 1.45);
  painter.restore();
}

class Engine : public DrawnIconEngine {
 public:
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
    double side = std::min(rect.width(), rect.height());
    ApplicationIcon::paint(*painter, QRectF(rect.x(), rect.y(), side, side));
  }
  QIconEngine* clone() const override { return new Engine; }
};

}  // namespace

QIcon icon() { return QIcon(new Engine); }

QImage image(int pixels) {
  QImage result(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  result.fill(Qt::transparent);
  QPainter painter(&result);
  paint(painter, QRectF(0, 0, pixels, pixels));
  return result;
}

QByteArray svg() {
  // The same drawing in SVG terms: the plate, the disc with the covering disc masked out, the ring.
  // Grid units of the eclipse (24 across) are placed inside the plate's 10% inset.
  return QByteArrayLiteral(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 24 24\" width=\"256\" height=\"256\">\n"
      "  <defs>\n"
      "    <mask id=\"cover\"><rect width=\"24\" height=\"24\" fill=\"#fff\"/>"
      "<circle cx=\"14.7\" cy=\"9.5\" r=\"6.1\" fill=\"#000\"/></mask>\n"
      "  </defs>\n"
      "  <circle cx=\"12\" cy=\"12\" r=\"12\" fill=\"#1d2230\"/>\n"
      "  <g transform=\"translate(2.4 2.4) scale(0.8)\">\n"
      "    <circle cx=\"11\" cy=\"12.7\" r=\"7.2\" fill=\"#f5f1e6\" mask=\"url(#cover)\"/>\n"
      "    <circle cx=\"14.7\" cy=\"9.5\" r=\"5.3\" fill=\"none\" stroke=\"#f5f1e6\" stroke-opacity=\"0.5\""
      " stroke-width=\"1.2325\"/>\n"
      "  </g>\n"
      "</svg>\n");
}

}  // namespace ApplicationIcon
