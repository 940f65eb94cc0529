// The application's face on a desktop: the status item in the panel and its menu, rendered from
// MenuState whenever the delegate refreshes. Which presentation of the menu a click opens is
// decided from what the panel offers:
// - a StatusNotifierItem host gets the item over D-Bus and shows the native menu itself
//   (dbusmenu); a primary click opens the full menu as Halomark's own popup at the place the host
//   passes on X11, or the control window on Wayland, where a client cannot place a popup;
// - an XEmbed tray (X11 without a StatusNotifierItem host) gets the full popup on any click, and
//   an icon inked for the tray's colours or the panel painted behind it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSystemTrayIcon>
#include <memory>
#include <optional>

#include "menubar/menu_actions.h"
#include "menubar/menu_state.h"
#include "ui/menu_commands.h"

class AppDelegate;
struct Platform;
class StatusMenu;
class ControlWindow;
class AboutDialog;
class StatusNotifierItem;
class DBusMenuExporter;
class QTimer;
namespace X11Panel {
class TrayColorsWatch;
}

class TrayApplication : public QObject {
  Q_OBJECT

 public:
  TrayApplication(AppDelegate& delegate, Platform& platform, MenuCommands commands);
  ~TrayApplication() override;

  // Launch: the status item with the lit icon and the menu, before the compatibility check.
  void createStatusItem();
  // After the launch steps: the unavailable state where the logo cannot be controlled, then the
  // first rendering of the menu.
  void launchFinished();
  // The delegate's refresh: re-derives and renders everything.
  void refreshUI();

  // The click on the status item; `alternate` is Alt held or the middle button; `item` is where
  // the item was clicked, when the tray or the host said.
  void statusItemClicked(bool alternate, std::optional<QRect> item);
  // The welcome window's way to the menu: a plain click at the item's last known place.
  void showMenu();

  bool usesNativeMenu() const { return nativeMenu_ != nullptr; }
  // The XEmbed tray's item; none under a StatusNotifierItem host.
  QSystemTrayIcon* statusItem() const { return statusItem_.get(); }
  StatusNotifierItem* notifierItem() const { return notifierItem_.get(); }
  StatusMenu* popupMenu() const { return popup_.get(); }
  StatusMenu* nativeMenu() const { return nativeMenu_.get(); }
  const MenuState& state() const { return state_; }

  // Whether a StatusNotifierItem host is registered on the session bus.
  static bool statusNotifierHostPresent();

 private:
  void createNotifierItem();
  void createTrayIcon();
  void render();
  void renderItem();
  void activated(QSystemTrayIcon::ActivationReason reason);
  void hostActivated(QPoint at, bool alternate);
  void openPopup(const QRect& item);
  void showAbout();
  // The XEmbed icon's ink: what the tray asks for, else what stands out on the panel behind it.
  void updateTrayInk();
  bool eventFilter(QObject* watched, QEvent* event) override;

  AppDelegate& delegate_;
  Platform& platform_;
  MenuCommands commands_;
  MenuActions actions_;
  MenuState state_;
  std::unique_ptr<QSystemTrayIcon> statusItem_;
  std::unique_ptr<StatusNotifierItem> notifierItem_;
  std::unique_ptr<DBusMenuExporter> menuExporter_;
  std::unique_ptr<StatusMenu> popup_;
  std::unique_ptr<StatusMenu> nativeMenu_;
  std::unique_ptr<ControlWindow> controlWindow_;
  std::unique_ptr<AboutDialog> about_;
  X11Panel::TrayColorsWatch* trayColors_ = nullptr;
  QTimer* inkTimer_ = nullptr;
  // The tray's own small window that shows the XEmbed icon.
  QPointer<QWidget> trayWindow_;
  QColor trayInk_;
  std::optional<QRect> lastItem_;
  bool renderedIconLit_ = true;
  bool renderedIconAttention_ = false;
  bool iconRendered_ = false;
};
