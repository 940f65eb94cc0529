// The application's own icon (desktop entry, About window): the lit crescent on a round plate, drawn
// with the same geometry as the status icon, as an icon, a bitmap of any size, or an SVG document.
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

namespace ApplicationIcon {

QIcon icon();
QImage image(int pixels);
QByteArray svg();

}  // namespace ApplicationIcon
