#include "ui/switch_painter.h"

#include <QPainter>
#include <QPalette>

#include "ui/palette_ink.h"

namespace SwitchPainter {

void paint(QPainter& p, QRectF bounds, bool on, bool enabled, bool focused, const QPalette& palette,
           const QColor& accent) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(Qt::NoPen);
  p.setOpacity(enabled ? 1.0 : 0.4);
  p.setBrush(on ? PaletteInk::switchOn(palette, accent) : PaletteInk::switchOff(palette));
  p.drawRoundedRect(r, r.height() / 2, r.height() / 2);

  double d = r.height() - 4;
  double left = on ? r.right() - 2 - d : r.left() + 2;
  QRectF knob(left, r.top() + 2, d, d);
  p.setOpacity(enabled ? 1.0 : 0.6);
  p.setBrush(Qt::white);
  p.drawEllipse(knob);
  p.setOpacity(1.0);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor::fromRgbF(0, 0, 0, 0.15), 0.5));
  p.drawEllipse(knob);
  if (focused) {
    // Drawn inside the bounds, so a switch of the menu's fixed size keeps its ring.
    p.setPen(QPen(palette.color(QPalette::Highlight), 1.5));
    p.drawRoundedRect(bounds.adjusted(0.75, 0.75, -0.75, -0.75), r.height() / 2, r.height() / 2);
  }
  p.restore();
}

}  // namespace SwitchPainter
