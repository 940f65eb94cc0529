// The status item's 18 x 18 point image: the eclipse, shifted aside for the attention dot while a
// signal runs. An icon engine draws it at whatever size and device pixel ratio is asked for, in an
// ink chosen for the panel behind it; the same shapes written as SVG are the themed icons that
// panels recolour themselves.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QString>
#include <vector>

#include "ui/eclipse_icon.h"

class QPainter;

namespace EmblemIcon {

inline constexpr double kPoints = 18;

// The image's shapes in an 18 x 18 point square at the origin.
std::vector<EclipseIcon::Shape> shapes(bool lit, bool attention);
// Draws the image into an 18 x 18 point square at the painter's origin.
void paint(QPainter& painter, bool lit, bool attention, const QColor& color);
// An icon that draws on demand; `color` none follows the application palette at each drawing.
QIcon menuBarIcon(bool lit, bool attention, const QColor& color = QColor());
// The image as an SVG document of filled shapes only. A symbolic one marks its shapes as the
// text colour (GTK's and KDE's recolouring both key on that) and is drawn, where nothing recolours
// it, in a grey that stands out on light and dark panels; a plain one is drawn in `color`.
QByteArray svg(bool lit, bool attention, bool symbolic, const QColor& color);
// "Halomark, needs your attention" or "Halomark".
QString accessibleDescription(bool attention);

}  // namespace EmblemIcon
