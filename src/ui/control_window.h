// The control panel as a small ordinary window, for desktops where a popup cannot be placed next
// to the status icon (Wayland): the status line over the four control rows.
#pragma once

#include <QWidget>

#include "menubar/menu_actions.h"
#include "menubar/menu_state.h"

class ControlRows;

class ControlWindow : public QWidget {
  Q_OBJECT

 public:
  explicit ControlWindow(MenuActions& actions, QWidget* parent = nullptr);
  void render(const MenuState& state);

 private:
  ControlRows* rows_;
};
