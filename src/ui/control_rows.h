// The control panel: the logo switch with the status line under it, the Automatic/Fixed choice, the
// brightness slider and the presets. The rows render a MenuState and forward the user's moves to
// MenuActions; the popup menu embeds them as menu rows, the control window stacks them. Every
// control takes the keyboard: Tab and the menu's Up and Down go from row to row, Left and Right
// move within a row, Space acts.
#pragma once

#include <QObject>
#include <QWidget>
#include <array>
#include <functional>

#include "menubar/menu_actions.h"
#include "menubar/menu_state.h"

class QButtonGroup;
class QLabel;
class GreenSwitch;
class NitsSlider;

// One row: its contents laid out between insets that line them up with the menu's text, and the
// control that takes the keyboard when the menu makes the row current. The row itself never takes
// focus, so a screen reader meets the controls, not an empty stop before them.
class ControlRow : public QWidget {
  Q_OBJECT

 public:
  ControlRow(int height, const QString& name);
  void setFocusTarget(std::function<QWidget*()> target);
  // Gives the keyboard to the row's control; false for a row without one.
  bool focusControl(Qt::FocusReason reason);
  void setInsets(int left, int right);

 private:
  std::function<QWidget*()> focusTarget_;
};

class ControlRows : public QObject {
  Q_OBJECT

 public:
  explicit ControlRows(MenuActions& actions, QObject* parent = nullptr);
  ~ControlRows() override;

  // The rows in menu order: switch, mode, slider, presets; the caller takes ownership (a menu or
  // a layout reparents them).
  std::array<ControlRow*, 4> rows() const { return {powerRow_, modeRow_, sliderRow_, presetRow_}; }
  // The status line, a row of its own under the switch.
  ControlRow* statusRow() const { return statusRow_; }
  void render(const MenuState& state);
  // Lines every row's contents up between `left` and `right` insets of the row.
  void align(int left, int right);

  GreenSwitch* powerSwitch() const { return powerSwitch_; }
  NitsSlider* slider() const { return slider_; }
  QButtonGroup* modeGroup() const { return modeGroup_; }
  QButtonGroup* presetGroup() const { return presetGroup_; }
  QLabel* statusLine() const { return statusLine_; }

  // The narrowest the rows are; a wider menu widens them.
  static constexpr int kMinimumWidth = 260;

 private:
  ControlRow* buildPowerRow();
  ControlRow* buildStatusRow();
  ControlRow* buildModeRow();
  ControlRow* buildSliderRow();
  ControlRow* buildPresetRow();
  void selectMode(int segment);
  void showSliderAt(double nits, const QString& text);

  MenuActions& actions_;
  GreenSwitch* powerSwitch_ = nullptr;
  QLabel* statusLine_ = nullptr;
  QButtonGroup* modeGroup_ = nullptr;
  NitsSlider* slider_ = nullptr;
  QButtonGroup* presetGroup_ = nullptr;
  ControlRow* powerRow_;
  ControlRow* statusRow_;
  ControlRow* modeRow_;
  ControlRow* sliderRow_;
  ControlRow* presetRow_;
};
