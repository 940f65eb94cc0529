#include "ui/uninstall_dialog.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "maintenance/bundle.h"
#include "maintenance/uninstall.h"
#include "windows/uninstall_prompt.h"

namespace UninstallDialog {

void confirmUninstall(AppDelegate& app, Platform& platform, AlertSound& alertSound, QWidget* parent) {
  auto bundle = Maintenance::appBundleURL(platform);
  if (!bundle) {
    alertSound.beep();
    return;
  }
  QMessageBox ask(QMessageBox::Warning, QString::fromUtf8(UninstallPrompt::kTitle),
                  QString::fromUtf8(UninstallPrompt::kMessage), QMessageBox::NoButton, parent);
  auto* uninstall = ask.addButton(QString::fromUtf8(UninstallPrompt::kConfirm), QMessageBox::DestructiveRole);
  ask.addButton(QString::fromUtf8(UninstallPrompt::kCancel), QMessageBox::RejectRole);
  ask.setDefaultButton(uninstall);
  ask.exec();
  if (ask.clickedButton() != uninstall) return;

  // The uninstaller gives the logo back itself; quitting must not write it again.
  app.setUninstalling(true);
  auto result = Maintenance::uninstall(*bundle, app.logo(), app.prefs(), platform);
  if (auto leftovers = UninstallPrompt::leftovers(result)) {
    QMessageBox report(QMessageBox::Warning, QString::fromUtf8(UninstallPrompt::kLeftoversTitle),
                       QString::fromStdString(*leftovers), QMessageBox::Ok, parent);
    report.exec();
  }
  QCoreApplication::quit();
}

}  // namespace UninstallDialog
