// The settings window's Signals tab: the attention signal's style, display and time limit, a test,
// and the Claude Code and terminal integrations.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "ui/settings_tab_page.h"

class SettingsSignalsTab : public SettingsTabPage {
 public:
  explicit SettingsSignalsTab(SettingsModel& model, QWidget* parent = nullptr);
  void render(const SettingsValues& values) override;

 private:
  QComboBox* style_;
  QCheckBox* keepDisplayOn_;
  QComboBox* timeout_;
  QPushButton* test_;
  QPushButton* claudeCode_;
  QLabel* claudeCodeError_;
  QPushButton* copy_;
};
