// Draws the icons into a bundle at build time: the application icon as PNG bitmaps in every size the
// desktop registration installs and as SVG, and the tray icon's states as symbolic and plain SVG.
// Usage: halomark-render-icons <icons folder>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <iostream>

#include "menubar/contrast.h"
#include "platform/linux_utilities/application_icon_files.h"
#include "ui/application_icon.h"
#include "ui/emblem_icon.h"

namespace {

bool write(const QString& path, const QByteArray& contents) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) == contents.size();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: halomark-render-icons <icons folder>\n";
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QString base = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
  for (int pixels : ApplicationIconFiles::kPixelSizes) {
    QString path = base + QString::fromStdString(ApplicationIconFiles::bitmapPath(pixels));
    QDir().mkpath(QFileInfo(path).path());
    if (!ApplicationIcon::image(pixels).save(path, "PNG")) {
      std::cerr << "halomark-render-icons: cannot write " << path.toStdString() << "\n";
      return 1;
    }
  }
  QString svg = base + QString::fromStdString(ApplicationIconFiles::scalablePath());
  if (!write(svg, ApplicationIcon::svg())) {
    std::cerr << "halomark-render-icons: cannot write " << svg.toStdString() << "\n";
    return 1;
  }
  // Where no panel recolours them, the states are drawn in the grey that reads on light and dark.
  auto neutral = Contrast::kNeutralInk;
  QColor ink(neutral.r, neutral.g, neutral.b);
  for (bool lit : {true, false}) {
    for (bool attention : {false, true}) {
      for (bool symbolic : {true, false}) {
        auto name = ApplicationIconFiles::statusIconName(lit, attention, symbolic);
        QString path = base + QString::fromStdString(ApplicationIconFiles::statusIconPath(name));
        if (!write(path, EmblemIcon::svg(lit, attention, symbolic, ink))) {
          std::cerr << "halomark-render-icons: cannot write " << path.toStdString() << "\n";
          return 1;
        }
      }
    }
  }
  return 0;
}
