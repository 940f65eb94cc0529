// The application's face on a desktop: the status item in the panel and its menu, rendered from
// MenuState whenever the delegate refreshes. Which presentation of the menu a click opens is
// decided from what the panel offers:
// - a StatusNotifierItem host shows the native menu itself (dbusmenu); a primary click opens the
//   full menu as Halomark's own popup on X11, or the control window on Wayland, where a client
//   cannot place a popup next to the icon;
// - an XEmbed tray (X11 without a StatusNotifierItem host) gets the full popup on any click.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

#include "menubar/menu_actions.h"
#include "menubar/menu_state.h"
#include "ui/menu_commands.h"

class AppDelegate;
struct Platform;
class StatusMenu;
class ControlWindow;
class AboutDialog;

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

  // The click on the status item; `alternate` is Alt held or the middle button.
  void statusItemClicked(bool alternate, const QPoint& near);

  bool usesNativeMenu() const { return nativeMenu_ != nullptr; }
  QSystemTrayIcon* statusItem() const { return statusItem_.get(); }
  StatusMenu* popupMenu() const { return popup_.get(); }
  StatusMenu* nativeMenu() const { return nativeMenu_.get(); }
  const MenuState& state() const { return state_; }

  // Whether a StatusNotifierItem host is registered on the session bus.
  static bool statusNotifierHostPresent();

 private:
  void render();
  void activated(QSystemTrayIcon::ActivationReason reason);
  void openPopup(const QPoint& near);
  void showAbout();
  bool eventFilter(QObject* watched, QEvent* event) override;

  AppDelegate& delegate_;
  Platform& platform_;
  MenuCommands commands_;
  MenuActions actions_;
  MenuState state_;
  std::unique_ptr<QSystemTrayIcon> statusItem_;
  std::unique_ptr<StatusMenu> popup_;
  std::unique_ptr<StatusMenu> nativeMenu_;
  std::unique_ptr<ControlWindow> controlWindow_;
  std::unique_ptr<AboutDialog> about_;
  bool renderedIconLit_ = true;
  bool renderedIconAttention_ = false;
};
