// The status item as a StatusNotifierItem on the session bus, for panels that host items over
// D-Bus (Plasma, Xfce, GNOME's AppIndicator extension, waybar, standalone bars). Exported here
// rather than through QSystemTrayIcon, which drops the position a host passes with a click, names
// the item after the executable and sends no icon name a panel could recolour.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

// One picture of the icon: width, height and ARGB32 pixels in network byte order.
struct SniPixmap {
  int width = 0;
  int height = 0;
  QByteArray argb;
  static SniPixmap fromImage(const QImage& image);
};
using SniPixmaps = QList<SniPixmap>;

struct SniToolTip {
  QString iconName;
  SniPixmaps pixmaps;
  QString title;
  QString text;
};

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const SniPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const SniToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, SniToolTip& toolTip);

class StatusNotifierItem : public QObject {
  Q_OBJECT

 public:
  // `id` stays the same across versions, so hosts keep the user's placement of the item.
  StatusNotifierItem(QDBusConnection bus, QString id, QString title, QObject* parent = nullptr);
  ~StatusNotifierItem() override;

  // Exports the item with its menu at `menuPath` and registers it with the watcher, again whenever
  // a watcher (re)appears. False when the object could not be exported.
  bool publish(const QString& menuPath);

  // The icon by its name in the theme (found in `themePath` too), and pictures of it for hosts
  // that cannot find or do not use the name.
  void setIcon(const QString& name, const SniPixmaps& pixmaps);
  void setIconThemePath(const QString& themePath);
  void setToolTip(const QString& title, const QString& text);

  QString id() const { return id_; }
  QString title() const { return title_; }
  QString iconName() const { return iconName_; }
  SniPixmaps pixmaps() const { return pixmaps_; }
  QString iconThemePath() const { return iconThemePath_; }
  SniToolTip toolTip() const { return toolTip_; }
  QString menuPath() const { return menuPath_; }

  static constexpr const char* kPath = "/StatusNotifierItem";

 Q_SIGNALS:
  // The host's primary click, middle click and request for a context menu, at the screen position
  // it passed (0,0 when it passed none).
  void activated(QPoint at);
  void secondaryActivated(QPoint at);
  void contextMenuRequested(QPoint at);

  void iconChanged();
  void toolTipChanged();

 private:
  void registerWithWatcher();

  QDBusConnection bus_;
  QString id_;
  QString title_;
  QString iconName_;
  SniPixmaps pixmaps_;
  QString iconThemePath_;
  SniToolTip toolTip_;
  QString menuPath_;
  class QDBusServiceWatcher* watcher_ = nullptr;
};
