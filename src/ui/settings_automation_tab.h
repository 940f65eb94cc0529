// The settings window's Automation tab: the power and display rules, quiet hours, and the apps that
// turn the logo off.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QVBoxLayout>
#include <functional>
#include <string>
#include <vector>

#include "ui/settings_tab_page.h"

class SettingsAutomationTab : public SettingsTabPage {
 public:
  // `chooseApps` asks the user for applications and gives their ids in the order chosen (none when
  // cancelled).
  SettingsAutomationTab(SettingsModel& model, std::function<std::vector<std::string>()> chooseApps,
                        QWidget* parent = nullptr);
  void render(const SettingsValues& values) override;

 private:
  void buildPowerSection(QVBoxLayout* layout);
  void buildQuietHoursSection(QVBoxLayout* layout);
  void renderApps(const SettingsValues& values);
  QWidget* appRow(const AppRow& app);
  QWidget* addAppButtonRow(bool withTitle);

  std::function<std::vector<std::string>()> chooseApps_;
  QCheckBox* locked_;
  QCheckBox* lowPower_;
  QCheckBox* battery_;
  QComboBox* below_;
  QCheckBox* externalDisplay_;
  QCheckBox* quietHours_;
  QWidget* schedule_;
  QComboBox* from_;
  QComboBox* to_;
  QWidget* actionRow_;
  QComboBox* action_;
  QVBoxLayout* appsRows_;
  QComboBox* trigger_ = nullptr;
  // The list the app rows were built for, so they are rebuilt only when it changes.
  std::optional<std::vector<std::string>> shownApps_;
};
