#include "ui/status_menu.h"

#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QWidgetAction>
#include <cmath>

#include "menubar/menu_texts.h"
#include "menubar/slider_scale.h"
#include "ui/control_rows.h"
#include "ui/popup_menu.h"
#include "ui/qt_text.h"
#include "ui/radio_menu_choice.h"

namespace {

// Every title of the menu is the product's own text: an "&" in it is an ampersand.
QString text(const char* utf8) { return QtText::literal(utf8); }

QAction* addWidgetRow(QMenu* menu, QWidget* row) {
  auto* action = new QWidgetAction(menu);
  action->setDefaultWidget(row);
  menu->addAction(action);
  return action;
}

}  // namespace

const std::vector<double>& StatusMenu::brightnessLevels() {
  static const std::vector<double> levels{13, 25, 50, 100, 150, 250, 400, 600, 800, 1000};
  return levels;
}

StatusMenu::StatusMenu(Presentation presentation, MenuActions& actions, const MenuCommands& commands,
                       QObject* parent)
    : QObject(parent),
      presentation_(presentation),
      actions_(actions),
      commands_(commands),
      menu_(presentation == Presentation::popup ? new PopupMenu : new QMenu) {
  menu_->setToolTipsVisible(true);
  if (presentation_ == Presentation::popup) {
    addControls();
  } else {
    addNativeControls();
  }
  addRulesMenu();
  addCommands();
}

StatusMenu::~StatusMenu() { delete menu_; }

void StatusMenu::addControls() {
  controlRows_ = new ControlRows(actions_, this);
  auto rows = controlRows_->rows();
  addWidgetRow(menu_, rows[0]);
  // Read, never chosen: the keys pass over it.
  statusLine_ = addWidgetRow(menu_, controlRows_->statusRow());
  statusLine_->setEnabled(false);
  menu_->addSeparator();
  for (std::size_t i = 1; i < rows.size(); ++i) addWidgetRow(menu_, rows[i]);
  // The menu moves its current item with the keys but leaves a row's control without the keyboard:
  // the control of the current row takes it, and any other item hands it back to the menu.
  connect(menu_, &QMenu::hovered, this, [this](QAction* current) {
    auto* row = qobject_cast<QWidgetAction*>(current);
    auto* controls = row ? qobject_cast<ControlRow*>(row->defaultWidget()) : nullptr;
    if (controls && controls->focusControl(Qt::TabFocusReason)) return;
    if (menu_->focusWidget() != menu_) {
      menu_->setFocus(Qt::TabFocusReason);
    }
  });
  // The rows line up with the text of the items below them, whatever the style's metrics.
  auto* popup = static_cast<PopupMenu*>(menu_);
  connect(menu_, &QMenu::aboutToShow, this, [this, popup] {
    auto insets = popup->textInsets();
    controlRows_->align(insets.left, insets.right);
  });
}

void StatusMenu::addNativeControls() {
  switchItem_ = menu_->addAction(text(MenuTexts::kLogoLight));
  switchItem_->setCheckable(true);
  connect(switchItem_, &QAction::triggered, this, [this](bool on) { actions_.switchFlipped(on); });
  statusLine_ = menu_->addAction(QString());
  statusLine_->setEnabled(false);
  menu_->addSeparator();
  modeItems_ = new QActionGroup(this);
  modeItems_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  int segment = 0;
  for (auto [title, tip] : {std::pair{MenuTexts::kAutomatic, MenuTexts::kAutomaticToolTip},
                            std::pair{MenuTexts::kFixed, MenuTexts::kFixedToolTip}}) {
    QAction* item = menu_->addAction(text(title));
    item->setToolTip(QString::fromUtf8(tip));
    item->setCheckable(true);
    modeItems_->addAction(item);
    connect(item, &QAction::triggered, this, [this, segment] { actions_.modeChosen(segment); });
    ++segment;
  }
  brightnessMenu_ = menu_->addMenu(text(MenuTexts::kBrightness));
  auto* levels = new QActionGroup(this);
  levels->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (double nits : brightnessLevels()) {
    QAction* item = brightnessMenu_->addAction(QString::number(nits) + QStringLiteral(" nits"));
    item->setCheckable(true);
    levels->addAction(item);
    connect(item, &QAction::triggered, this, [this, nits] { actions_.levelChosen(nits); });
  }
  for (std::size_t i = 0; i < MenuTexts::kPresets.size(); ++i) {
    QAction* item = menu_->addAction(text(MenuTexts::kPresets[i].title));
    item->setToolTip(QString::fromStdString(MenuTexts::presetToolTip(MenuTexts::kPresets[i])));
    connect(item, &QAction::triggered, this, [this, i] { actions_.presetChosen(static_cast<int>(i)); });
    presetItems_.push_back(item);
  }
}

QAction* StatusMenu::ruleItem(QMenu* menu, const char* title, const char* tip, MenuActions::Rule rule) {
  QAction* item = menu->addAction(text(title));
  item->setToolTip(QString::fromUtf8(tip));
  item->setCheckable(true);
  connect(item, &QAction::triggered, this, [this, rule] { actions_.toggleRule(rule); });
  ruleItems_[rule] = item;
  return item;
}

void StatusMenu::addRulesMenu() {
  menu_->addSeparator();
  rulesMenu_ = menu_->addMenu(text(MenuTexts::kRules));
  rulesMenu_->setToolTipsVisible(true);
  using Rule = MenuActions::Rule;
  ruleItem(rulesMenu_, MenuTexts::kWhenLocked, MenuTexts::kWhenLockedToolTip, Rule::locked);
  ruleItem(rulesMenu_, MenuTexts::kLowPower, MenuTexts::kLowPowerToolTip, Rule::lowPower);
  ruleItem(rulesMenu_, MenuTexts::kOnBattery, MenuTexts::kOnBatteryToolTip, Rule::onBattery);
  ruleItem(rulesMenu_, MenuTexts::kExternalDisplay, MenuTexts::kExternalDisplayToolTip,
           Rule::externalDisplay);
  ruleItem(rulesMenu_, MenuTexts::kQuietHours, MenuTexts::kQuietHoursToolTip, Rule::quietHours);
  rulesMenu_->addSeparator();
  rulesMenu_->addAction(text(MenuTexts::kBatteryLow))->setEnabled(false);
  // One choice of several: radio items, in the menu and in the native menu a host draws.
  auto* below = new QActionGroup(this);
  below->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int percent : MenuTexts::kBatteryChoices) {
    QAction* item = RadioMenuChoice::add(rulesMenu_, QtText::literal(MenuTexts::batteryChoiceTitle(percent)));
    below->addAction(item);
    connect(item, &QAction::triggered, this, [this, percent] { actions_.chooseBelow(percent); });
    belowItems_[percent] = item;
  }
  rulesMenu_->addSeparator();
  QAction* schedule = rulesMenu_->addAction(text(MenuTexts::kAppsAndSchedule));
  schedule->setEnabled(bool(commands_.showSettings));
  connect(schedule, &QAction::triggered, this, [this] { commands_.showSettings(std::string("automation")); });
}

void StatusMenu::addCommands() {
  menu_->addSeparator();
  stopSignalItem_ = menu_->addAction(text(MenuTexts::kStopSignal));
  stopSignalItem_->setVisible(false);
  connect(stopSignalItem_, &QAction::triggered, this, [this] { actions_.stopSignal(); });
  QAction* updates = menu_->addAction(text(MenuTexts::kCheckForUpdates));
  updates->setEnabled(bool(commands_.checkForUpdates));
  connect(updates, &QAction::triggered, this, [this] { commands_.checkForUpdates(); });
  QAction* settings = menu_->addAction(text(MenuTexts::kSettings));
  settings->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
  settings->setEnabled(bool(commands_.showSettings));
  connect(settings, &QAction::triggered, this, [this] { commands_.showSettings(std::nullopt); });
  QAction* about = menu_->addAction(text(MenuTexts::kAbout));
  connect(about, &QAction::triggered, this, &StatusMenu::aboutRequested);
  QAction* quit = menu_->addAction(text(MenuTexts::kQuit));
  quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(quit, &QAction::triggered, this, &StatusMenu::quitRequested);
  keyedItems_ = {settings, quit};
  menu_->installEventFilter(this);
}

bool StatusMenu::eventFilter(QObject* watched, QEvent* event) {
  if (watched == menu_ && event->type() == QEvent::KeyPress) {
    QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (QAction* keyed : keyedItems_) {
      if (!keyed->isEnabled() || keyed->shortcut() != pressed) continue;
      menu_->close();
      keyed->trigger();
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void StatusMenu::render(const MenuState& state) {
  if (presentation_ == Presentation::native) statusLine_->setText(QtText::literal(state.statusLine));
  rulesMenu_->menuAction()->setEnabled(state.available);
  if (controlRows_) controlRows_->render(state);
  if (presentation_ == Presentation::native) renderNative(state);
  if (!state.available) return;  // launch left the rest as built
  stopSignalItem_->setVisible(state.stopSignalVisible);
  using Rule = MenuActions::Rule;
  ruleItems_[Rule::locked]->setChecked(state.offWhenLocked);
  ruleItems_[Rule::lowPower]->setChecked(state.offInLowPowerMode);
  ruleItems_[Rule::onBattery]->setChecked(state.offOnBattery);
  ruleItems_[Rule::externalDisplay]->setChecked(state.offWithExternalDisplay);
  QAction* quietHours = ruleItems_[Rule::quietHours];
  quietHours->setText(QtText::literal(state.quietHoursTitle));
  quietHours->setChecked(state.quietHoursEnabled);
  for (auto& [percent, item] : belowItems_) item->setChecked(state.batteryChecked.at(percent));
}

void StatusMenu::renderNative(const MenuState& state) {
  switchItem_->setEnabled(state.available);
  modeItems_->setEnabled(state.available);
  brightnessMenu_->menuAction()->setEnabled(state.available);
  for (QAction* item : presetItems_) item->setEnabled(state.available);
  switchItem_->setChecked(state.switchOn);
  auto modes = modeItems_->actions();
  for (int i = 0; i < modes.size(); ++i) modes[i]->setChecked(i == state.modeSegment);
  const auto& levels = brightnessLevels();
  auto levelItems = brightnessMenu_->actions();
  for (std::size_t i = 0; i < levels.size(); ++i) {
    bool shown =
        state.modeSegment == 1 && std::abs(SliderScale::position(levels[i]) - state.sliderPosition) < 1e-9;
    levelItems[static_cast<int>(i)]->setChecked(shown);
  }
}
