#include "ui/settings_automation_tab.h"
#include "ui/combo_accessible.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include "ui/form_rows.h"
#include "ui/window_icons.h"

using namespace FormRows;

namespace {

constexpr int kHourPickerWidth = 96;
constexpr int kAppIconSize = 20;

QComboBox* hourPicker(const QString& name) {
  ComboAccessible::install();
  auto* picker = new QComboBox;
  for (int hour = 0; hour < 24; ++hour)
    picker->addItem(QString::fromStdString(Prefs::formatHour(hour)), hour);
  picker->setFixedWidth(kHourPickerWidth);
  // The label is not shown; assistive technology still names the picker.
  picker->setAccessibleName(name);
  return picker;
}

}  // namespace

SettingsAutomationTab::SettingsAutomationTab(SettingsModel& model,
                                             std::function<std::vector<std::string>()> chooseApps,
                                             QWidget* parent)
    : SettingsTabPage(model, parent), chooseApps_(std::move(chooseApps)) {
  auto* layout = new QVBoxLayout(this);
  buildPowerSection(layout);
  buildQuietHoursSection(layout);
  auto* apps = section(QStringLiteral("Specific Apps"), this);
  appsRows_ = rowsOf(apps);
  layout->addWidget(apps);
}

void SettingsAutomationTab::buildPowerSection(QVBoxLayout* layout) {
  auto* power = section(QStringLiteral("Power & Display"), this);
  locked_ = toggle(QStringLiteral("When Mac is locked"));
  lowPower_ = toggle(QStringLiteral("In Low Power Mode"));
  battery_ = toggle(QStringLiteral("On battery power"));
  below_ = picker({{QStringLiteral("Never"), 0},
                   {QStringLiteral("At 10% or below"), 10},
                   {QStringLiteral("At 20% or below"), 20},
                   {QStringLiteral("At 30% or below"), 30},
                   {QStringLiteral("At 50% or below"), 50}});
  externalDisplay_ = toggle(QStringLiteral("With external display"));
  rowsOf(power)->addWidget(row(QStringLiteral("When Mac is locked"), {}, locked_));
  rowsOf(power)->addWidget(row(QStringLiteral("In Low Power Mode"), {}, lowPower_));
  rowsOf(power)->addWidget(row(QStringLiteral("On battery power"), {}, battery_));
  rowsOf(power)->addWidget(row(QStringLiteral("When battery is low"), {}, below_));
  rowsOf(power)->addWidget(row(QStringLiteral("With external display"),
                               QStringLiteral("Turns off when a monitor or projector is connected."),
                               externalDisplay_));
  layout->addWidget(power);
  onToggle(locked_, &SettingsModel::setOffWhenLocked);
  onToggle(lowPower_, &SettingsModel::setOffInLowPowerMode);
  onToggle(battery_, &SettingsModel::setOffOnBattery);
  onToggle(externalDisplay_, &SettingsModel::setOffWithExternalDisplay);
  onPick(below_, [this](int percent) { model_.setOffBelowPercent(percent); });
}

void SettingsAutomationTab::buildQuietHoursSection(QVBoxLayout* layout) {
  auto* quiet = section(QStringLiteral("Quiet Hours"), this);
  quietHours_ = toggle(QStringLiteral("Enable Quiet Hours"));
  rowsOf(quiet)->addWidget(row(QStringLiteral("Enable Quiet Hours"), {}, quietHours_));

  schedule_ = new QWidget;
  auto* scheduleLayout = new QHBoxLayout(schedule_);
  scheduleLayout->setContentsMargins(0, 0, 0, 0);
  from_ = hourPicker(QStringLiteral("From"));
  to_ = hourPicker(QStringLiteral("To"));
  auto* between = new QLabel(QStringLiteral("to"));
  between->setForegroundRole(QPalette::PlaceholderText);
  scheduleLayout->addWidget(new QLabel(QStringLiteral("Schedule")));
  scheduleLayout->addStretch(1);
  scheduleLayout->addWidget(from_);
  scheduleLayout->addWidget(between);
  scheduleLayout->addWidget(to_);
  rowsOf(quiet)->addWidget(schedule_);

  action_ = picker({{QStringLiteral("Turn off"), int(Prefs::QuietHoursAction::off)},
                    {QStringLiteral("Dim to Low (25 nits)"), int(Prefs::QuietHoursAction::dim)}});
  actionRow_ = row(QStringLiteral("During Quiet Hours"), {}, action_);
  rowsOf(quiet)->addWidget(actionRow_);
  layout->addWidget(quiet);

  onToggle(quietHours_, &SettingsModel::setQuietHoursEnabled);
  onPick(from_, [this](int hour) { model_.setQuietHoursStartHour(hour); });
  onPick(to_, [this](int hour) { model_.setQuietHoursEndHour(hour); });
  onPick(action_,
         [this](int value) { model_.setQuietHoursAction(static_cast<Prefs::QuietHoursAction>(value)); });
}

void SettingsAutomationTab::render(const SettingsValues& values) {
  for (auto [box, on] : {std::pair{locked_, values.offWhenLocked},
                         {lowPower_, values.offInLowPowerMode},
                         {battery_, values.offOnBattery},
                         {externalDisplay_, values.offWithExternalDisplay},
                         {quietHours_, values.quietHoursEnabled}}) {
    QSignalBlocker quiet(box);
    box->setChecked(on);
  }
  for (auto [picker, value] : {std::pair{below_, values.offBelowPercent},
                               {from_, values.quietHoursStartHour},
                               {to_, values.quietHoursEndHour},
                               {action_, int(values.quietHoursAction)}}) {
    QSignalBlocker quiet(picker);
    select(picker, value);
  }
  schedule_->setVisible(values.quietHoursEnabled);
  actionRow_->setVisible(values.quietHoursEnabled);
  renderApps(values);
}

void SettingsAutomationTab::renderApps(const SettingsValues& values) {
  if (shownApps_ != values.offAppBundleIDs) {
    shownApps_ = values.offAppBundleIDs;
    trigger_ = nullptr;
    while (auto* item = appsRows_->takeAt(0)) {
      // Hidden now so the layout no longer counts it; deleted later, as the click that removed an
      // app may still be running in its row's button.
      if (auto* widget = item->widget()) {
        widget->hide();
        widget->deleteLater();
      }
      delete item;
    }
    if (values.offAppBundleIDs.empty()) {
      appsRows_->addWidget(addAppButtonRow(true));
    } else {
      for (const auto& app : model_.appRows()) appsRows_->addWidget(appRow(app));
      trigger_ = picker({{QStringLiteral("App is open"), 0}, {QStringLiteral("App is frontmost"), 1}});
      onPick(trigger_, [this](int frontmost) { model_.setOffAppsFrontmostOnly(frontmost != 0); });
      appsRows_->addWidget(row(QStringLiteral("Trigger when"), {}, trigger_));
      appsRows_->addWidget(addAppButtonRow(false));
    }
  }
  if (trigger_) {
    QSignalBlocker quiet(trigger_);
    select(trigger_, values.offAppsFrontmostOnly ? 1 : 0);
  }
}

QWidget* SettingsAutomationTab::appRow(const AppRow& app) {
  auto* widget = new QWidget;
  auto* layout = new QHBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* icon = new QLabel;
  icon->setPixmap(WindowIcons::application(app.icon).pixmap(kAppIconSize, kAppIconSize));
  icon->setFixedSize(kAppIconSize, kAppIconSize);
  QString name = QString::fromStdString(app.name);
  auto* remove = new QToolButton;
  remove->setAutoRaise(true);
  remove->setIcon(WindowIcons::themed("list-remove", WindowIcons::Drawn::removeCircle,
                                      palette().color(QPalette::PlaceholderText)));
  remove->setToolTip(QStringLiteral("Remove ") + name);
  remove->setAccessibleName(QStringLiteral("Remove ") + name);
  layout->addWidget(icon);
  layout->addWidget(new QLabel(name));
  layout->addStretch(1);
  layout->addWidget(remove);
  onClick(remove, [this, id = app.id] { model_.removeApp(id); });
  return widget;
}

QWidget* SettingsAutomationTab::addAppButtonRow(bool withTitle) {
  auto* add = new QPushButton(QStringLiteral("Add App…"));
  onClick(add, [this] { model_.addApps(chooseApps_()); });
  if (withTitle) {
    return row(QStringLiteral("Turn off for chosen apps"),
               QStringLiteral("Add apps like Zoom, Keynote, or video players."), add);
  }
  auto* widget = new QWidget;
  auto* layout = new QHBoxLayout(widget);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  layout->addWidget(add);
  return widget;
}
