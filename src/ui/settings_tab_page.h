// What the settings window's three tab pages share: they render the model's values, and each
// control calls one model operation and then shows the model again, so a refused change springs
// back even when no value moved.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QWidget>
#include <functional>

#include "windows/settings_model.h"

class SettingsTabPage : public QWidget {
 public:
  SettingsTabPage(SettingsModel& model, QWidget* parent) : QWidget(parent), model_(model) {}
  virtual void render(const SettingsValues& values) = 0;

 protected:
  void onToggle(QCheckBox* box, void (SettingsModel::*change)(bool));
  // `change` receives the chosen item's value.
  void onPick(QComboBox* picker, std::function<void(int)> change);
  void onClick(QAbstractButton* button, std::function<void()> action);

  SettingsModel& model_;
};
