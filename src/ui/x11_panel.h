// What the X server can tell about the panel that holds the status item: the panel's window under a
// point, the dock windows on the screen, the colour an XEmbed tray asks its icons to use
// (_NET_SYSTEM_TRAY_COLORS, set by Xfce's tray, i3bar and polybar) and the colour actually painted
// behind the icon. All in Qt's logical coordinates; empty answers away from X11.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QColor>
#include <QObject>
#include <QRect>
#include <optional>
#include <vector>

namespace X11Panel {

bool available();
// The top-level window under `point`: the panel's, when the point is a status item's.
std::optional<QRect> windowAt(QPoint point);
// The windows that present themselves as docks (panels, bars).
std::vector<QRect> docks();
// The foreground colour the XEmbed tray manager publishes, when it publishes one.
std::optional<QColor> trayForeground();
// The colour most of `area` is painted in, read from the screen.
std::optional<QColor> backgroundOf(const QRect& area);

// Tells when the tray manager's colours change or a new tray manager takes over.
class TrayColorsWatch : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  explicit TrayColorsWatch(QObject* parent = nullptr);
  ~TrayColorsWatch() override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 Q_SIGNALS:
  void changed();

 private:
  void watchManager();
  unsigned manager_ = 0;
  unsigned managerMessage_ = 0;
};

}  // namespace X11Panel
