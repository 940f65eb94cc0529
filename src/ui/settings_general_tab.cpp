#include "ui/settings_general_tab.h"

#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/form_rows.h"

using namespace FormRows;

SettingsGeneralTab::SettingsGeneralTab(SettingsModel& model, std::function<void()> confirmUninstall,
                                       QWidget* parent)
    : SettingsTabPage(model, parent) {
  auto* layout = new QVBoxLayout(this);

  auto* startup = section(QStringLiteral("Startup & Updates"), this);
  launchAtLogin_ = toggle(QStringLiteral("Launch at login"));
  autoUpdate_ = toggle(QStringLiteral("Check for updates automatically"));
  rowsOf(startup)->addWidget(row(QStringLiteral("Launch at login"), {}, launchAtLogin_));
  rowsOf(startup)->addWidget(row(QStringLiteral("Check for updates automatically"), {}, autoUpdate_));
  layout->addWidget(startup);

  auto* behavior = section(QStringLiteral("Behavior"), this);
  quitBehavior_ = picker({{QStringLiteral("Restore automatic brightness"), int(Prefs::QuitBehavior::restore)},
                          {QStringLiteral("Keep logo off"), int(Prefs::QuitBehavior::keepOff)}});
  hotKey_ = toggle(QStringLiteral("Toggle logo with Ctrl+Alt+Super+L"));
  ignoreLimits_ = toggle(QStringLiteral("Allow full brightness range"));
  command_ = new QPushButton;
  commandError_ = errorLine();
  rowsOf(behavior)->addWidget(row(QStringLiteral("When Halomark quits"), {}, quitBehavior_));
  rowsOf(behavior)->addWidget(row(QStringLiteral("Toggle logo with Ctrl+Alt+Super+L"),
                                  QStringLiteral("Alt-click the menu bar icon to toggle anytime."), hotKey_));
  rowsOf(behavior)->addWidget(row(QStringLiteral("Allow full brightness range"), {}, ignoreLimits_));
  rowsOf(behavior)->addWidget(row(QStringLiteral("halomark command in Terminal"), {}, command_));
  rowsOf(behavior)->addWidget(commandError_);
  layout->addWidget(behavior);

  auto* maintenance = section(QStringLiteral("Maintenance"), this);
  auto* reset = new QPushButton(QStringLiteral("Reset"));
  auto* uninstall = new QPushButton(QStringLiteral("Uninstall…"));
  rowsOf(maintenance)->addWidget(row(QStringLiteral("Reset to Apple defaults"), {}, reset));
  rowsOf(maintenance)->addWidget(row(QStringLiteral("Uninstall Halomark"), {}, uninstall));
  layout->addWidget(maintenance);

  onToggle(launchAtLogin_, &SettingsModel::setLaunchAtLogin);
  onToggle(autoUpdate_, &SettingsModel::setAutoUpdate);
  onToggle(hotKey_, &SettingsModel::setHotKeyEnabled);
  onToggle(ignoreLimits_, &SettingsModel::setIgnoreLimits);
  onPick(quitBehavior_,
         [this](int value) { model_.setQuitBehavior(static_cast<Prefs::QuitBehavior>(value)); });
  onClick(command_, [this] { model_.toggleCommandInstalled(); });
  onClick(reset, [this] { model_.resetToApple(); });
  connect(uninstall, &QPushButton::clicked, this, std::move(confirmUninstall));
}

void SettingsGeneralTab::render(const SettingsValues& values) {
  for (auto [box, on] : {std::pair{launchAtLogin_, values.launchAtLogin},
                         {autoUpdate_, values.autoUpdate},
                         {hotKey_, values.hotKeyEnabled},
                         {ignoreLimits_, values.ignoreLimits}}) {
    QSignalBlocker quiet(box);
    box->setChecked(on);
  }
  {
    QSignalBlocker quiet(quitBehavior_);
    select(quitBehavior_, int(values.quitBehavior));
  }
  command_->setText(values.commandInstalled ? QStringLiteral("Remove") : QStringLiteral("Install"));
  showError(commandError_, QString::fromStdString(values.commandError.value_or("")));
}
