// The About window: the application icon, its name and "Version <short> (<build>)".
#pragma once

#include <QDialog>
#include <QString>

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(const QString& shortVersion, const QString& buildVersion, QWidget* parent = nullptr);
};
