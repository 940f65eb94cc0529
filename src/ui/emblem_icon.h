// The status item's 18 x 18 point image: the eclipse, shifted aside for the attention dot while a
// signal runs. An icon engine draws it at whatever size and device pixel ratio is asked for, in the
// panel's foreground colour (the palette's window text), so it reads on light and dark panels.
#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

class QPainter;

namespace EmblemIcon {

inline constexpr double kPoints = 18;

// Draws the image into an 18 x 18 point square at the painter's origin.
void paint(QPainter& painter, bool lit, bool attention, const QColor& color);
// An icon that draws on demand; `color` none follows the application palette at each drawing.
QIcon menuBarIcon(bool lit, bool attention, const QColor& color = QColor());
// "Halomark, needs your attention" or "Halomark".
QString accessibleDescription(bool attention);

}  // namespace EmblemIcon
