#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "ui/application_icon.h"
#include "ui/emblem_icon.h"

namespace {

// Grid point of the eclipse's 24-unit design grid, in points of the 18-point status image.
QPointF onCanvas(double gridX, double gridY, double shiftX = 0, double shiftY = 0) {
  const double scale = 19.68 / 24;
  return {-0.84 + shiftX + gridX * scale, -0.84 + shiftY + gridY * scale};
}

class EmblemAtScale : public ::testing::TestWithParam<int> {
 protected:
  QImage render(bool lit, bool attention) {
    int scale = GetParam();
    QPixmap pixmap = EmblemIcon::menuBarIcon(lit, attention, Qt::black).pixmap(QSize(18, 18), scale);
    EXPECT_EQ(pixmap.size(), QSize(18 * scale, 18 * scale));
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  }
  int alphaAt(const QImage& image, QPointF point) {
    int scale = GetParam();
    return qAlpha(image.pixel(int(point.x() * scale), int(point.y() * scale)));
  }
};

TEST_P(EmblemAtScale, LitCrescentHasItsBodyAndItsCutOut) {
  QImage image = render(true, false);
  EXPECT_GT(alphaAt(image, onCanvas(6, 16)), 240) << "crescent body";
  EXPECT_EQ(alphaAt(image, onCanvas(14, 10)), 0) << "covering disc cut out";
  int ring = alphaAt(image, onCanvas(14.7, 9.5 + 5.3));
  EXPECT_GT(ring, 40) << "faint ring of the covering disc";
  EXPECT_LT(ring, 200);
  EXPECT_EQ(alphaAt(image, QPointF(17.5, 0.5)), 0) << "no attention dot";
}

TEST_P(EmblemAtScale, UnlitOutlineAndTheAttentionDot) {
  QImage unlit = render(false, false);
  EXPECT_GT(alphaAt(unlit, onCanvas(4.8, 12)), 150) << "outline";
  EXPECT_EQ(alphaAt(unlit, onCanvas(12, 12)), 0) << "hollow inside";
  EXPECT_EQ(alphaAt(unlit, onCanvas(8, 14)), 0) << "no crescent";

  QImage attention = render(true, true);
  EXPECT_GT(alphaAt(attention, QPointF(15.1, 3.1)), 240) << "dot at the top right";
  EXPECT_GT(alphaAt(attention, onCanvas(6, 16, -1.4, 0.4)), 240) << "crescent shifted left and down";
}

INSTANTIATE_TEST_SUITE_P(Scales, EmblemAtScale, ::testing::Values(1, 2, 3));

TEST(EmblemIconTest, FollowsThePaletteWhenNoColourIsGiven) {
  QImage image = EmblemIcon::menuBarIcon(true, false).pixmap(QSize(36, 36)).toImage();
  QColor body = image.pixelColor(int(onCanvas(6, 16).x() * 2), int(onCanvas(6, 16).y() * 2));
  QColor text = QGuiApplication::palette().color(QPalette::WindowText);
  EXPECT_EQ(body.rgb(), text.rgb());
  EXPECT_EQ(EmblemIcon::accessibleDescription(true), "Halomark, needs your attention");
  EXPECT_EQ(EmblemIcon::accessibleDescription(false), "Halomark");
}

TEST(ApplicationIconTest, BitmapAndSvgShowTheCrescentOnAPlate) {
  QImage image = ApplicationIcon::image(128);
  EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0) << "round plate leaves the corners clear";
  QColor plate = image.pixelColor(64, 4);
  EXPECT_LT(plate.lightness(), 80);
  QColor crescent = image.pixelColor(int(12.8 + 6 * 0.8 * 128 / 24.0), int(12.8 + 16 * 0.8 * 128 / 24.0));
  EXPECT_GT(crescent.lightness(), 200);
  QByteArray svg = ApplicationIcon::svg();
  EXPECT_TRUE(svg.startsWith("<svg"));
  EXPECT_TRUE(svg.contains("mask=\"url(#cover)\""));
}

}  // namespace

namespace {

TEST(EmblemSvgTest, SymbolicStatesAreFillOnlyShapesInTheTextColourClass) {
  for (bool lit : {true, false}) {
    QString svg = QString::fromUtf8(EmblemIcon::svg(lit, false, true, QColor(0x80, 0x80, 0x80)));
    // GTK recolours a symbolic icon by forcing the fill of its shapes: a stroke would keep its colour
    // and a stroked outline would be filled in.
    EXPECT_FALSE(svg.contains("stroke")) << svg.toStdString();
    EXPECT_TRUE(svg.contains(".ColorScheme-Text { color:#808080; }"));
    int paths = svg.count("<path ");
    EXPECT_EQ(svg.count("class=\"ColorScheme-Text\" fill=\"currentColor\""), paths);
    EXPECT_EQ(paths, 2) << "body and the faint part";
    EXPECT_TRUE(svg.contains(lit ? "fill-opacity=\"0.5\"" : "fill-opacity=\"0.55\""));
  }
  QString attention = QString::fromUtf8(EmblemIcon::svg(true, true, true, Qt::gray));
  EXPECT_EQ(attention.count("<path "), 3) << "with the dot";
  QString plain = QString::fromUtf8(EmblemIcon::svg(true, false, false, QColor(0x12, 0x34, 0x56)));
  EXPECT_FALSE(plain.contains("ColorScheme"));
  EXPECT_EQ(plain.count("fill=\"#123456\""), 2);
}

}  // namespace
