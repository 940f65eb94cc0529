#include "ui/popup_menu.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QWidgetAction>
#include <cstdlib>

PopupMenu::Insets PopupMenu::textInsets() {
  // The item with the widest shortcut: the shortcuts' column ends where that one ends.
  QAction* probe = nullptr;
  QFontMetrics shortcutMetrics(font());
  auto shortcutWidth = [&](QAction* action) {
    return shortcutMetrics.horizontalAdvance(action->shortcut().toString(QKeySequence::NativeText));
  };
  for (QAction* action : actions()) {
    if (action->isSeparator() || action->menu() || action->shortcut().isEmpty() ||
        qobject_cast<QWidgetAction*>(action))
      continue;
    if (!probe || shortcutWidth(action) > shortcutWidth(probe)) probe = action;
  }
  QRect item = probe ? actionGeometry(probe) : QRect();
  if (!probe || item.isEmpty()) return {};
  QStyleOptionMenuItem option;
  initStyleOption(&option, probe);
  // A letter with a straight side where the text starts, and the shortcut in its place.
  QString shortcut = probe->shortcut().toString(QKeySequence::NativeText);
  option.text = QStringLiteral("H\t") + shortcut;
  option.state &= ~QStyle::State_Selected;
  option.state |= QStyle::State_Enabled;
  option.rect = QRect(QPoint(0, 0), item.size());
  QImage image(item.size(), QImage::Format_RGB32);
  const QColor background = palette().color(QPalette::Window);
  image.fill(background);
  {
    QPainter painter(&image);
    style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
  }
  int first = -1, last = -1;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      QColor pixel = image.pixelColor(x, y);
      if (std::abs(pixel.lightness() - background.lightness()) > 64) {
        if (first < 0) first = x;
        last = x;
        break;
      }
    }
  }
  if (first < 0) return {};
  QFontMetrics metrics(option.font);
  return {first - metrics.leftBearing(QLatin1Char('H')),
          image.width() - 1 - last - metrics.rightBearing(shortcut.back())};
}
