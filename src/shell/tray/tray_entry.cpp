// The tray module's entry: the widget application object and the tray face around the shared
// application launch.
#include <QApplication>
#include <memory>

#include "app/app_delegate.h"
#include "shell/application_shell.h"
#include "shell/tray_module.h"
#include "ui/application_icon.h"
#include "ui/tray_application.h"
#include "ui/update_dialog.h"
#include "updates/updates.h"

namespace {

class TrayFace : public ApplicationShell::Face {
 public:
  explicit TrayFace(Platform& platform) : platform_(platform) {}

  void willLaunch(AppDelegate& delegate) override {
    MenuCommands commands;
    // The updater shows its outcomes in its own window from now on; reminders stay notifications.
    if (auto updates = Updates::shared().lock()) {
      updateDialog_ =
          std::make_unique<UpdateDialog>(updates->userDriver(), updates->configuration().displayVersion);
      updates->setUserDriver(*updateDialog_);
      commands.checkForUpdates = [] {
        if (auto shared = Updates::shared().lock()) shared->checkForUpdates();
      };
    }
    tray_ = std::make_unique<TrayApplication>(delegate, platform_, commands);
    delegate.setRefreshUIHandler([tray = tray_.get()] { tray->refreshUI(); });
    tray_->createStatusItem();
  }
  void didLaunch(AppDelegate&) override { tray_->launchFinished(); }

 private:
  Platform& platform_;
  std::unique_ptr<UpdateDialog> updateDialog_;
  std::unique_ptr<TrayApplication> tray_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int halomark_run_tray(int& argc, char** argv,
                                                                        Platform& platform) {
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setApplicationDisplayName(QStringLiteral("Halomark"));
  QApplication::setWindowIcon(ApplicationIcon::icon());
  TrayFace face(platform);
  return ApplicationShell::serve(platform, &face);
}

static_assert(std::is_same_v<decltype(&halomark_run_tray), TrayModule::Entry>);
