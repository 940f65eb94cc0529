// The welcome window of the first launch: what Halomark does, where its icon lives, whether this
// machine's logo can be controlled, the two start-up choices, and a way straight to the menu.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QIcon>
#include <functional>

#include "platform/interfaces/scheduler.h"
#include "windows/welcome_model.h"

class WelcomeWindow : public QDialog {
 public:
  struct Actions {
    std::function<void()> showMenu;  // opens the tray menu
    std::function<void()> quit;      // quits the application
  };
  // `appIcon` is the application's icon; `menuBarIcon` the lit tray icon shown in the miniature
  // menu bar.
  // `scheduler` delays opening the menu until the window has gone.
  WelcomeWindow(WelcomeModel& model, Scheduler& scheduler, Actions actions, const QIcon& appIcon,
                const QIcon& menuBarIcon);
  ~WelcomeWindow() override;

  // Shows it centred and in front.
  void present();

  static constexpr double kMenuDelaySeconds = 0.3;

 private:
  QWidget* menuBarHint(const QIcon& menuBarIcon);
  QWidget* compatibilityLine();
  QWidget* buttonRow();
  void render();

  WelcomeModel& model_;
  Scheduler& scheduler_;
  Actions actions_;
  QCheckBox* launchAtLogin_;
  QCheckBox* autoUpdate_;
};
