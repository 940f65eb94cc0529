// The four rows of the control panel: the logo switch, the Automatic/Fixed mode, the brightness
// slider and the presets. They render a MenuState and forward the user's moves to MenuActions;
// the popup menu embeds them as menu rows, the control window stacks them.
#pragma once

#include <QObject>
#include <array>

#include "menubar/menu_actions.h"
#include "menubar/menu_state.h"

class QButtonGroup;
class QPushButton;
class QSlider;
class QWidget;
class GreenSwitch;

class ControlRows : public QObject {
  Q_OBJECT

 public:
  ControlRows(MenuActions& actions, QObject* parent = nullptr);
  ~ControlRows() override;

  // The rows in menu order; the caller takes ownership (a menu or a layout reparents them).
  std::array<QWidget*, 4> rows() const { return {powerRow_, modeRow_, sliderRow_, presetRow_}; }
  void render(const MenuState& state);

  GreenSwitch* powerSwitch() const { return powerSwitch_; }
  QSlider* slider() const { return slider_; }
  QButtonGroup* modeGroup() const { return modeGroup_; }
  QButtonGroup* presetGroup() const { return presetGroup_; }

  static constexpr int kSliderSteps = 1000;

 private:
  QWidget* buildPowerRow();
  QWidget* buildModeRow();
  QWidget* buildSliderRow();
  QWidget* buildPresetRow();
  void selectMode(int segment);
  void sliderMoved(int value);

  MenuActions& actions_;
  GreenSwitch* powerSwitch_ = nullptr;
  QButtonGroup* modeGroup_ = nullptr;
  QSlider* slider_ = nullptr;
  QButtonGroup* presetGroup_ = nullptr;
  QWidget* powerRow_;
  QWidget* modeRow_;
  QWidget* sliderRow_;
  QWidget* presetRow_;
};
