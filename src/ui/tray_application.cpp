#include "ui/tray_application.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <iostream>

#include "app/app_delegate.h"
#include "maintenance/bundle.h"
#include "ui/about_dialog.h"
#include "ui/control_window.h"
#include "ui/emblem_icon.h"
#include "ui/status_menu.h"

namespace {

// A blocking but short look: a hung bus must not hold up the launch.
constexpr int kWatcherTimeoutMs = 500;

bool onWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

}  // namespace

TrayApplication::TrayApplication(AppDelegate& delegate, Platform& platform, MenuCommands commands)
    : delegate_(delegate), platform_(platform), commands_(std::move(commands)), actions_(delegate, platform) {
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
  statusItem_ = std::make_unique<QSystemTrayIcon>(EmblemIcon::menuBarIcon(true, false));
  statusItem_->setToolTip(QStringLiteral("Halomark"));
  popup_ = std::make_unique<StatusMenu>(StatusMenu::Presentation::popup, actions_, commands_);
  StatusMenu* menus[] = {popup_.get(), nullptr};
  if (statusNotifierHostPresent()) {
    nativeMenu_ = std::make_unique<StatusMenu>(StatusMenu::Presentation::native, actions_, commands_);
    statusItem_->setContextMenu(nativeMenu_->menu());
    menus[1] = nativeMenu_.get();
  }
  for (StatusMenu* menu : menus) {
    if (!menu) continue;
    connect(menu, &StatusMenu::aboutRequested, this, &TrayApplication::showAbout);
    connect(menu, &StatusMenu::quitRequested, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
  }
  // The host shows the native menu by itself: bring it up to date first.
  if (nativeMenu_) connect(nativeMenu_->menu(), &QMenu::aboutToShow, this, &TrayApplication::refreshUI);
  connect(statusItem_.get(), &QSystemTrayIcon::activated, this, &TrayApplication::activated);
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
  if (statusItem_) {
    if (state_.iconLit != renderedIconLit_ || state_.iconAttention != renderedIconAttention_) {
      statusItem_->setIcon(EmblemIcon::menuBarIcon(state_.iconLit, state_.iconAttention));
      renderedIconLit_ = state_.iconLit;
      renderedIconAttention_ = state_.iconAttention;
    }
    statusItem_->setToolTip(QString::fromStdString(state_.itemToolTip));
  }
  if (commands_.reloadSettings) commands_.reloadSettings();
}

void TrayApplication::activated(QSystemTrayIcon::ActivationReason reason) {
  QPoint near = QCursor::pos();
  switch (reason) {
    // A tray reports a second click soon after the first as a double click instead: it is one more
    // click (two quick Alt-clicks toggle twice; a click just after Escape opens the popup again).
    case QSystemTrayIcon::Trigger:
    case QSystemTrayIcon::Context:
    case QSystemTrayIcon::DoubleClick:
      statusItemClicked(QGuiApplication::queryKeyboardModifiers().testFlag(Qt::AltModifier), near);
      break;
    case QSystemTrayIcon::MiddleClick: statusItemClicked(true, near); break;
    case QSystemTrayIcon::Unknown: break;
  }
}

void TrayApplication::statusItemClicked(bool alternate, const QPoint& near) {
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
  openPopup(near);
}

void TrayApplication::openPopup(const QPoint& near) {
  QMenu* menu = popup_->menu();
  QRect icon = statusItem_ ? statusItem_->geometry() : QRect();
  QPoint at = near;
  if (icon.isValid()) {
    // Under the icon on a top panel, above it on a bottom one.
    QScreen* screen = QGuiApplication::screenAt(icon.center());
    bool bottomPanel = screen && icon.center().y() > screen->geometry().center().y();
    at = bottomPanel ? icon.topLeft() - QPoint(0, menu->sizeHint().height()) : icon.bottomLeft();
  }
  menu->popup(at);
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

bool TrayApplication::eventFilter(QObject* watched, QEvent* event) {
  // The icon is drawn in the palette's text colour: a new theme needs it drawn again.
  if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange && statusItem_)
    statusItem_->setIcon(EmblemIcon::menuBarIcon(state_.iconLit, state_.iconAttention));
  return QObject::eventFilter(watched, event);
}
