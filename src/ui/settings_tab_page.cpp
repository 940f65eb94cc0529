#include "ui/settings_tab_page.h"

#include <functional>

void SettingsTabPage::onToggle(QCheckBox* box, void (SettingsModel::*change)(bool)) {
  connect(box, &QCheckBox::toggled, this, [this, change](bool on) {
    std::invoke(change, model_, on);
    render(model_.values());
  });
}

void SettingsTabPage::onPick(QComboBox* picker, std::function<void(int)> change) {
  connect(picker, &QComboBox::activated, this, [this, picker, change = std::move(change)] {
    change(picker->currentData().toInt());
    render(model_.values());
  });
}

void SettingsTabPage::onClick(QAbstractButton* button, std::function<void()> action) {
  connect(button, &QAbstractButton::clicked, this, [this, action = std::move(action)] {
    action();
    render(model_.values());
  });
}
