#include "ui/tray_application.h"
#include "ui/accessible_popup.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <iostream>

#include "app/app_delegate.h"
#include "maintenance/bundle.h"
#include "menubar/contrast.h"
#include "menubar/popup_placement.h"
#include "platform/linux_utilities/application_icon_files.h"
#include "formats/app_identifier.h"
#include "ui/about_dialog.h"
#include "ui/control_window.h"
#include "ui/dbus_menu_exporter.h"
#include "ui/emblem_icon.h"
#include "ui/status_menu.h"
#include "ui/status_notifier_item.h"
#include "ui/x11_panel.h"

namespace {

// A blocking but short look: a hung bus must not hold up the launch.
constexpr int kWatcherTimeoutMs = 500;
const QString kMenuPath = QStringLiteral("/MenuBar");
// Sizes of the pictures sent with the icon's name, for hosts that draw pictures.
constexpr int kPixmapSizes[] = {16, 22, 24, 32, 48, 64};
// Margin of panel read around the XEmbed icon for its background.
constexpr int kBackdropMargin = 4;

bool onWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

QColor toColor(Contrast::Rgb rgb) { return QColor(rgb.r, rgb.g, rgb.b); }
Contrast::Rgb toRgb(const QColor& colour) {
  return {std::uint8_t(colour.red()), std::uint8_t(colour.green()), std::uint8_t(colour.blue())};
}

PopupPlacement::Rect toPlacement(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect toRect(const PopupPlacement::Rect& r) { return {r.x, r.y, r.width, r.height}; }

// A host passes the place of a click in the X server's pixels.
QRect itemAt(QPoint devicePixels) {
  QScreen* screen = QGuiApplication::primaryScreen();
  qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
  QPoint logical(qRound(devicePixels.x() / ratio), qRound(devicePixels.y() / ratio));
  return toRect(PopupPlacement::itemAround({logical.x(), logical.y()}));
}

bool isTrayWindow(QObject* object) {
  return object->isWidgetType() && QLatin1String(object->metaObject()->className()) == "QSystemTrayIconSys";
}

}  // namespace

TrayApplication::TrayApplication(AppDelegate& delegate, Platform& platform, MenuCommands commands)
    : delegate_(delegate), platform_(platform), commands_(std::move(commands)), actions_(delegate, platform) {
  // Before a screen reader first asks for the application, so it finds the popup too.
  AccessiblePopup::install();
  qApp->installEventFilter(this);
}

TrayApplication::~TrayApplication() = default;

bool TrayApplication::statusNotifierHostPresent() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
  if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher)) return false;
  auto call = QDBusMessage::createMethodCall(watcher, QStringLiteral("/StatusNotifierWatcher"),
                                             QStringLiteral("org.freedesktop.DBus.Properties"),
                                             QStringLiteral("Get"));
  call << watcher << QStringLiteral("IsStatusNotifierHostRegistered");
  QDBusMessage reply = bus.call(call, QDBus::Block, kWatcherTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
  return reply.arguments().first().value<QDBusVariant>().variant().toBool();
}

void TrayApplication::createStatusItem() {
  popup_ = std::make_unique<StatusMenu>(StatusMenu::Presentation::popup, actions_, commands_);
  if (statusNotifierHostPresent()) {
    createNotifierItem();
  } else {
    createTrayIcon();
  }
  for (StatusMenu* menu : {popup_.get(), nativeMenu_.get()}) {
    if (!menu) continue;
    connect(menu, &StatusMenu::aboutRequested, this, &TrayApplication::showAbout);
    connect(menu, &StatusMenu::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  }
  renderItem();
}

void TrayApplication::createNotifierItem() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  nativeMenu_ = std::make_unique<StatusMenu>(StatusMenu::Presentation::native, actions_, commands_);
  menuExporter_ = std::make_unique<DBusMenuExporter>(nativeMenu_->menu());
  // The host shows the native menu by itself: bring it up to date first.
  connect(menuExporter_.get(), &DBusMenuExporter::menuAboutToShow, this, &TrayApplication::refreshUI);
  menuExporter_->publish(bus, kMenuPath);
  notifierItem_ = std::make_unique<StatusNotifierItem>(bus, QString::fromLatin1(kAppIdentifier),
                                                       QStringLiteral("Halomark"));
  notifierItem_->setIconThemePath(QString::fromStdString(
      ApplicationIconFiles::bundleIconsDirectory(QCoreApplication::applicationFilePath().toStdString())));
  connect(notifierItem_.get(), &StatusNotifierItem::activated, this,
          [this](QPoint at) { hostActivated(at, false); });
  connect(notifierItem_.get(), &StatusNotifierItem::contextMenuRequested, this,
          [this](QPoint at) { hostActivated(at, false); });
  connect(notifierItem_.get(), &StatusNotifierItem::secondaryActivated, this,
          [this](QPoint at) { hostActivated(at, true); });
  notifierItem_->publish(kMenuPath);
}

void TrayApplication::createTrayIcon() {
  statusItem_ = std::make_unique<QSystemTrayIcon>(EmblemIcon::menuBarIcon(true, false));
  statusItem_->setToolTip(QStringLiteral("Halomark"));
  connect(statusItem_.get(), &QSystemTrayIcon::activated, this, &TrayApplication::activated);
  inkTimer_ = new QTimer(this);
  inkTimer_->setSingleShot(true);
  // Once the panel has painted around the newly placed icon.
  inkTimer_->setInterval(150);
  connect(inkTimer_, &QTimer::timeout, this, &TrayApplication::updateTrayInk);
  trayColors_ = new X11Panel::TrayColorsWatch(this);
  connect(trayColors_, &X11Panel::TrayColorsWatch::changed, inkTimer_, qOverload<>(&QTimer::start));
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    // Panels often start after the application at login; the item docks once a tray appears.
    std::cerr << "halomark: no system tray yet; the status item appears when the panel has one\n";
  }
  statusItem_->show();
}

void TrayApplication::launchFinished() { refreshUI(); }

void TrayApplication::refreshUI() {
  state_ = MenuState::derive(delegate_, platform_);
  render();
}

void TrayApplication::render() {
  if (popup_) popup_->render(state_);
  if (nativeMenu_) nativeMenu_->render(state_);
  if (controlWindow_) controlWindow_->render(state_);
  renderItem();
  if (commands_.reloadSettings) commands_.reloadSettings();
}

void TrayApplication::renderItem() {
  bool iconChanged =
      !iconRendered_ || state_.iconLit != renderedIconLit_ || state_.iconAttention != renderedIconAttention_;
  iconRendered_ = true;
  renderedIconLit_ = state_.iconLit;
  renderedIconAttention_ = state_.iconAttention;
  if (notifierItem_) {
    if (iconChanged) {
      // Hosts that recolour symbolic icons use the name; the pictures are in the grey that reads on
      // light and dark panels alike.
      QIcon icon =
          EmblemIcon::menuBarIcon(state_.iconLit, state_.iconAttention, toColor(Contrast::kNeutralInk));
      SniPixmaps pixmaps;
      for (int size : kPixmapSizes) pixmaps << SniPixmap::fromImage(icon.pixmap(QSize(size, size)).toImage());
      notifierItem_->setIcon(QString::fromStdString(ApplicationIconFiles::statusIconName(
                                 state_.iconLit, state_.iconAttention, true)),
                             pixmaps);
    }
    notifierItem_->setToolTip(QStringLiteral("Halomark"), QString::fromStdString(state_.itemDetail));
  }
  if (statusItem_) {
    if (iconChanged)
      statusItem_->setIcon(EmblemIcon::menuBarIcon(state_.iconLit, state_.iconAttention, trayInk_));
    QString toolTip = QString::fromStdString(state_.itemToolTip);
    if (statusItem_->toolTip() != toolTip) statusItem_->setToolTip(toolTip);
    if (trayWindow_) trayWindow_->setAccessibleName(QString::fromStdString(state_.itemAccessibleName));
  }
}

void TrayApplication::activated(QSystemTrayIcon::ActivationReason reason) {
  QRect item = statusItem_ ? statusItem_->geometry() : QRect();
  std::optional<QRect> at = item.isValid() ? std::optional(item) : std::nullopt;
  switch (reason) {
    // A tray reports a second click soon after the first as a double click instead: it is one more
    // click (two quick Alt-clicks toggle twice; a click just after Escape opens the popup again).
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::DoubleClick:
      statusItemClicked(QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier), at);
      break;
    case QSystemTrayIcon::MiddleClick: statusItemClicked(true, at); break;
    case QSystemTrayIcon::Unknown: break;
  }
}

void TrayApplication::hostActivated(QPoint at, bool alternate) {
  // (0, 0) is what a host passes when it knows no place.
  std::optional<QRect> item = at.isNull() ? std::nullopt : std::optional(itemAt(at));
  bool altHeld = !onWayland() && QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier);
  statusItemClicked(alternate || altHeld, item);
}

void TrayApplication::statusItemClicked(bool alternate, std::optional<QRect> item) {
  if (item) lastItem_ = item;
  auto click = alternate ? MenuActions::Click::alternate : MenuActions::Click::plain;
  if (actions_.statusItemClicked(click) != MenuActions::ClickResult::openMenu) return;
  refreshUI();
  if (nativeMenu_ && onWayland()) {
    if (!controlWindow_) controlWindow_ = std::make_unique<ControlWindow>(actions_);
    controlWindow_->render(state_);
    controlWindow_->show();
    controlWindow_->raise();
    controlWindow_->activateWindow();
    return;
  }
  if (lastItem_) {
    openPopup(*lastItem_);
    return;
  }
  // Nothing has told where the item is: at the end of the panel, where trays sit.
  QScreen* screen = QGuiApplication::primaryScreen();
  QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
  std::optional<PopupPlacement::Rect> panel;
  auto docks = X11Panel::docks();
  if (!docks.empty()) panel = toPlacement(docks.front());
  openPopup(toRect(PopupPlacement::likelyItem(panel, toPlacement(workArea))));
}

void TrayApplication::showMenu() { statusItemClicked(false, std::nullopt); }

void TrayApplication::openPopup(const QRect& item) {
  QMenu* menu = popup_->menu();
  QScreen* screen = QGuiApplication::screenAt(item.center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  QRect bounds = screen ? screen->geometry() : QRect(0, 0, 800, 600);
  std::optional<PopupPlacement::Rect> panel;
  if (auto window = X11Panel::windowAt(item.center())) panel = toPlacement(*window);
  QSize size = menu->sizeHint();
  auto at = PopupPlacement::place(toPlacement(item), panel, toPlacement(bounds), size.width(), size.height());
  menu->popup(QPoint(at.x, at.y));
}

void TrayApplication::showAbout() {
  if (!about_) {
    about_ = std::make_unique<AboutDialog>(QString::fromStdString(Maintenance::shortVersion(platform_)),
                                           QString::fromStdString(Maintenance::buildVersion(platform_)));
  }
  about_->show();
  about_->raise();
  about_->activateWindow();
}

void TrayApplication::updateTrayInk() {
  if (!statusItem_) return;
  QColor ink;
  if (auto foreground = X11Panel::trayForeground()) {
    ink = *foreground;
  } else if (QRect icon = statusItem_->geometry(); icon.isValid()) {
    QRect around = icon.adjusted(-kBackdropMargin, -kBackdropMargin, kBackdropMargin, kBackdropMargin);
    if (auto panel = X11Panel::windowAt(icon.center())) around &= *panel;
    if (auto backdrop = X11Panel::backgroundOf(around)) ink = toColor(Contrast::inkFor(toRgb(*backdrop)));
  }
  if (ink == trayInk_) return;
  trayInk_ = ink;
  statusItem_->setIcon(EmblemIcon::menuBarIcon(state_.iconLit, state_.iconAttention, trayInk_));
}

bool TrayApplication::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
      // Without an ink of its own the icon is drawn in the palette's text colour.
      if (watched == qApp && statusItem_) {
        statusItem_->setIcon(EmblemIcon::menuBarIcon(state_.iconLit, state_.iconAttention, trayInk_));
        if (inkTimer_) inkTimer_->start();
      }
      break;
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
      // The XEmbed icon docked or moved: what lies behind it may have changed.
      if (statusItem_ && isTrayWindow(watched)) {
        trayWindow_ = static_cast<QWidget*>(watched);
        trayWindow_->setAccessibleName(QString::fromStdString(state_.itemAccessibleName));
        inkTimer_->start();
      }
      break;
    default: break;
  }
  return QObject::eventFilter(watched, event);
}
