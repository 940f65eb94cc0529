// The tray module's entry: the widget application object and the tray face, which the executable
// launches and hands the application's objects to.
#include <QApplication>
#include <memory>
#include <optional>
#include <string>

#include "app/app_delegate.h"
#include "shell/tray_module.h"
#include "ui/application_icon.h"
#include "ui/desktop_window_services.h"
#include "ui/emblem_icon.h"
#include "ui/tray_application.h"
#include "ui/update_dialog.h"
#include "ui/windows_controller.h"
#include "updates/updates.h"

namespace {

class TrayFace : public ApplicationShell::Face {
 public:
  TrayFace(int& argc, char** argv) : application_(argc, argv) {
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationDisplayName(QStringLiteral("Halomark"));
    QApplication::setWindowIcon(ApplicationIcon::icon());
  }

  void willLaunch(const ApplicationShell::LaunchContext& context) override {
    // The updater outlives the face's launch and event loop; the windows show and store its flag.
    AppDelegate& delegate = context.delegate;
    updates_ = &context.updates;
    services_ = std::make_unique<DesktopWindowServices>(*updates_, [&delegate] { delegate.updateHotKey(); });
    windows_ = std::make_unique<WindowsController>(delegate, context.platform, services_->services);
    MenuCommands commands;
    // The updater shows its outcomes in its own window from now on; reminders stay notifications.
    updateDialog_ =
        std::make_unique<UpdateDialog>(updates_->userDriver(), updates_->configuration().displayVersion);
    updates_->setUserDriver(*updateDialog_);
    commands.checkForUpdates = [updates = updates_] { updates->checkForUpdates(); };
    commands.showSettings = [windows = windows_.get()](const std::optional<std::string>& tab) {
      windows->showSettings(tab ? tabNamed(*tab) : std::nullopt);
    };
    commands.reloadSettings = [windows = windows_.get()] { windows->refresh(); };
    tray_ = std::make_unique<TrayApplication>(delegate, context.platform, commands);
    delegate.setRefreshUIHandler([tray = tray_.get()] { tray->refreshUI(); });
    delegate.setWelcomeHandler([this] { showWelcome(); });
    tray_->createStatusItem();
  }
  void didLaunch() override { tray_->launchFinished(); }

 private:
  static std::optional<SettingsTab> tabNamed(const std::string& name) {
    for (auto tab : kSettingsTabs) {
      if (rawValue(tab) == name) return tab;
    }
    return std::nullopt;
  }

  void showWelcome() {
    windows_->showWelcome({ApplicationIcon::icon(), EmblemIcon::menuBarIcon(true, false),
                           [tray = tray_.get()] { tray->showMenu(); }});
  }

  // Made first and gone last: every widget below needs it.
  QApplication application_;
  Updates* updates_ = nullptr;
  // Declared before the tray, which calls into them, so they outlive it.
  std::unique_ptr<DesktopWindowServices> services_;
  std::unique_ptr<WindowsController> windows_;
  std::unique_ptr<UpdateDialog> updateDialog_;
  std::unique_ptr<TrayApplication> tray_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) ApplicationShell::Face* halomark_make_tray_face(
    int& argc, char** argv) {
  return new TrayFace(argc, argv);
}

static_assert(std::is_same_v<decltype(&halomark_make_tray_face), TrayModule::Entry>);
