// Draws the application icon into a bundle at build time: PNG bitmaps in every size the desktop
// registration installs, and the SVG. Usage: halomark-render-icons <icons folder>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <iostream>

#include "platform/linux_utilities/application_icon_files.h"
#include "ui/application_icon.h"

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
  return 0;
}
