// The updater's own small window: what a check found, with the release notes link and a Download
// button that opens the release's page in the browser. It renders the portable dialog content;
// reminders of scheduled checks stay gentle notifications.
#pragma once

#include <QDialog>

#include "updates/updates.h"

class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QPushButton;

class UpdateDialog : public QDialog, public UpdateUserDriver {
  Q_OBJECT

 public:
  // `reminders` shows what scheduled checks find.
  UpdateDialog(UpdateUserDriver& reminders, std::string currentDisplayVersion, QWidget* parent = nullptr);

  void bringToFront() override;
  void showCheck(const UpdateCheckState& state) override;
  void remindGently(const AppcastItem& update) override { reminders_.remindGently(update); }

 private:
  UpdateUserDriver& reminders_;
  std::string currentDisplayVersion_;
  QLabel* headline_;
  QLabel* body_;
  QLabel* notes_;
  QProgressBar* progress_;
  QPushButton* download_;
  QString downloadLink_;
};
