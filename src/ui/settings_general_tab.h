// The settings window's General tab: start-up and updates, quit behaviour, hot key, brightness
// range, the command link, reset and uninstall.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <functional>

#include "ui/settings_tab_page.h"

class SettingsGeneralTab : public SettingsTabPage {
 public:
  // `confirmUninstall` asks the user and uninstalls.
  SettingsGeneralTab(SettingsModel& model, std::function<void()> confirmUninstall, QWidget* parent = nullptr);
  void render(const SettingsValues& values) override;

 private:
  QCheckBox* launchAtLogin_;
  QCheckBox* autoUpdate_;
  QComboBox* quitBehavior_;
  QCheckBox* hotKey_;
  QCheckBox* ignoreLimits_;
  QPushButton* command_;
  QLabel* commandError_;
};
