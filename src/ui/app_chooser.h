// The "Add App…" chooser: the installed applications but Halomark, each with an icon of one size
// and its name, a search field the keyboard goes on from, several at once, and a way to pick a
// .desktop file by path. It gives desktop file ids in the order the
// user chose them.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <string>
#include <vector>

#include "platform/interfaces/installed_applications.h"

class AppChooser : public QDialog {
 public:
  AppChooser(InstalledApplications& apps, QWidget* parent = nullptr);

  // The ids chosen, in the order chosen; empty when cancelled.
  std::vector<std::string> chosen() const { return chosen_; }
  // Shows the chooser modally and gives what was chosen.
  static std::vector<std::string> choose(InstalledApplications& apps, QWidget* parent);

  // Picks .desktop files by path; those without an application id are left out.
  void addFiles(const QStringList& paths);

 protected:
  // Down goes from the search into the list; Return there adds the first match.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void filter(const QString& text);
  void trackSelection();
  void chooseFiles();

  InstalledApplications& apps_;
  QLineEdit* search_;
  QListWidget* list_;
  QPushButton* add_;
  std::vector<std::string> chosen_;
};
