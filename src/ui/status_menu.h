// The status item's menu in one of its two presentations, rendered from a MenuState:
// - popup: the full menu with the control rows (switch, mode, slider, presets) embedded as rows,
//   for a popup Halomark places itself next to the icon;
// - native: rows a plain menu can carry, for hosts that show the menu themselves over dbusmenu
//   (the switch as a checkable item, the mode as radio items, a "Brightness" submenu of levels).
// Both share the lower half: the rules submenu, stop, updates, settings, About and Quit.
#pragma once

#include <QObject>
#include <map>

#include "menubar/menu_actions.h"
#include "menubar/menu_state.h"
#include "ui/menu_commands.h"

class QAction;
class QActionGroup;
class QMenu;
class ControlRows;

class StatusMenu : public QObject {
  Q_OBJECT

 public:
  enum class Presentation { popup, native };

  StatusMenu(Presentation presentation, MenuActions& actions, const MenuCommands& commands,
             QObject* parent = nullptr);
  ~StatusMenu() override;

  QMenu* menu() const { return menu_; }
  // Empty in the native presentation.
  ControlRows* controlRows() const { return controlRows_; }
  void render(const MenuState& state);

  // Brightness levels the native menu offers in place of the slider.
  static const std::vector<double>& brightnessLevels();

 Q_SIGNALS:
  void aboutRequested();
  void quitRequested();

 protected:
  // A popup holds the keyboard while it is open, so its keyed items are matched here.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void addControls();
  void addNativeControls();
  void addRulesMenu();
  void addCommands();
  void renderNative(const MenuState& state);
  QAction* ruleItem(QMenu* menu, const char* title, const char* tip, MenuActions::Rule rule);

  Presentation presentation_;
  MenuActions& actions_;
  MenuCommands commands_;
  QMenu* menu_;
  ControlRows* controlRows_ = nullptr;
  QAction* statusLine_ = nullptr;
  QAction* switchItem_ = nullptr;
  QActionGroup* modeItems_ = nullptr;
  QMenu* brightnessMenu_ = nullptr;
  std::vector<QAction*> presetItems_;
  QMenu* rulesMenu_ = nullptr;
  std::map<MenuActions::Rule, QAction*> ruleItems_;
  std::map<int, QAction*> belowItems_;
  QAction* stopSignalItem_ = nullptr;
  std::vector<QAction*> keyedItems_;
};
