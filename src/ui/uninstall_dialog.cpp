#include "ui/uninstall_dialog.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

#include "maintenance/bundle.h"
#include "maintenance/uninstall.h"
#include "windows/uninstall_prompt.h"

namespace UninstallDialog {

void setAlertTexts(QMessageBox& alert, const QString& title, const QString& text) {
  alert.setWindowTitle(title);
  alert.setTextFormat(Qt::RichText);
  alert.setText(QStringLiteral("<b>") + title.toHtmlEscaped() + QStringLiteral("</b>"));
  alert.setInformativeText(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

void confirmUninstall(AppDelegate& app, Platform& platform, AlertSound& alertSound, QWidget* parent) {
  auto bundle = Maintenance::appBundleURL(platform);
  if (!bundle) {
    alertSound.beep();
    return;
  }
  QMessageBox ask(QMessageBox::Warning, {}, {}, QMessageBox::NoButton, parent);
  setAlertTexts(ask, QString::fromUtf8(UninstallPrompt::kTitle),
                QString::fromUtf8(UninstallPrompt::kMessage));
  auto* uninstall = ask.addButton(QString::fromUtf8(UninstallPrompt::kConfirm), QMessageBox::DestructiveRole);
  ask.addButton(QString::fromUtf8(UninstallPrompt::kCancel), QMessageBox::RejectRole);
  ask.setDefaultButton(uninstall);
  ask.exec();
  if (ask.clickedButton() != uninstall) return;

  // The uninstaller gives the logo back itself; quitting must not write it again.
  app.setUninstalling(true);
  auto result = Maintenance::uninstall(*bundle, app.logo(), app.prefs(), platform);
  if (auto leftovers = UninstallPrompt::leftovers(result)) {
    QMessageBox report(QMessageBox::Warning, {}, {}, QMessageBox::Ok, parent);
    setAlertTexts(report, QString::fromUtf8(UninstallPrompt::kLeftoversTitle),
                  QString::fromStdString(*leftovers));
    report.exec();
  }
  QCoreApplication::quit();
}

}  // namespace UninstallDialog
